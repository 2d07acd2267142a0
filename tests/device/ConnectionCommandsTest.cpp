#include "common/TextCodec.h"
#include "device/CommandEnvelope.h"
#include "device/ConnectionCommands.h"
#include "support/FakeTerminal.h"

#include <gtest/gtest.h>

namespace {

LinkFields connectFields(const QString& ip, const DeviceConnection& connection = {})
{
    return {kConnectCaption, ip, connection};
}

QStringList lines(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

} // namespace

TEST(ConnectCommand, SuccessfulProbeConnectsToTheTypedAddress)
{
    FakeTerminal terminal(21);
    HttpClient client(kFormContentType);
    const LinkResult result = ConnectOrDisconnect(connectFields(terminal.host()), client);
    EXPECT_EQ(result.log.lines, lines({"连接成功"}));
    EXPECT_EQ(result.caption, kDisconnectCaption);
    EXPECT_EQ(result.connection.deviceHost, terminal.host());
    EXPECT_EQ(result.connection.devicePort, 8090);
    EXPECT_EQ(client.timeoutMs(), 5000);
    const RecordedRequest request = terminal.lastRequest();
    EXPECT_EQ(request.requestLine, "POST /getDeviceKey HTTP/1.0");
    EXPECT_EQ(request.header("Content-Length"), "0");
    EXPECT_TRUE(request.body.isEmpty());
}

TEST(ConnectCommand, ProbeOutcomesThatLeaveTheConnectionAlone)
{
    FakeTerminal terminal(22);
    const DeviceConnection earlier{"10.0.0.9", 8090};
    const std::pair<const char*, QStringList> cases[] = {
        {R"({"success":false,"msg":"no"})", lines({"连接失败"})},
        {R"({"success":0,"data":"K"})", lines({"连接失败"})},
        {R"({"success":true})", lines({"连接出错"})},
        {"{}", {}},
        {"[true]", {}},
        {"not json", lines({"连接出错"})},
    };
    for (const auto& [reply, expected] : cases) {
        terminal.then(TerminalReply::json(QString::fromUtf8(reply)));
        HttpClient client(kFormContentType);
        const LinkResult result = ConnectOrDisconnect(connectFields(terminal.host(), earlier), client);
        EXPECT_EQ(result.log.lines, expected) << reply;
        EXPECT_EQ(result.caption, kConnectCaption) << reply;
        EXPECT_EQ(result.connection.deviceHost, earlier.deviceHost) << reply;
        EXPECT_EQ(client.timeoutMs(), 5000) << reply;
    }
}

TEST(ConnectCommand, ErrorStatusOrRefusedConnectionLogsConnectError)
{
    FakeTerminal terminal(23);
    terminal.then(TerminalReply::status(500, "Internal Server Error", R"({"success":true,"data":"K"})"));
    HttpClient client(kFormContentType);
    EXPECT_EQ(ConnectOrDisconnect(connectFields(terminal.host()), client).log.lines, lines({"连接出错"}));
    const LinkResult refused = ConnectOrDisconnect(connectFields("127.0.2.24"), client);
    EXPECT_EQ(refused.log.lines, lines({"连接出错"}));
    EXPECT_EQ(refused.caption, kConnectCaption);
}

TEST(ConnectCommand, SilentTerminalEndsTheProbeWithConnectError)
{
    FakeTerminal terminal(25);
    terminal.setDefaultReply(TerminalReply::silence());
    HttpClient client(kFormContentType);
    const auto started = std::chrono::steady_clock::now();
    const LinkResult result = ConnectOrDisconnect(connectFields(terminal.host()), client);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(result.log.lines, lines({"连接出错"}));
    EXPECT_EQ(client.timeoutMs(), 5000);
    // Only a sanity bound: the probe gives up after its own time-out, not never.
    EXPECT_LT(waited, std::chrono::seconds(30));
}

TEST(ConnectCommand, EmptyAddressOrDisconnectSendsNothing)
{
    FakeTerminal terminal(26);
    HttpClient client(kFormContentType);
    const DeviceConnection connected{terminal.host(), 8090};

    const LinkResult empty = ConnectOrDisconnect(connectFields(""), client);
    EXPECT_TRUE(empty.log.lines.isEmpty());
    EXPECT_EQ(empty.caption, kConnectCaption);
    EXPECT_EQ(client.timeoutMs(), 0);

    const LinkResult disconnected =
        ConnectOrDisconnect({kDisconnectCaption, terminal.host(), connected}, client);
    EXPECT_TRUE(disconnected.log.lines.isEmpty());
    EXPECT_EQ(disconnected.caption, kConnectCaption);
    EXPECT_EQ(disconnected.connection.deviceHost, connected.deviceHost);
    EXPECT_EQ(disconnected.connection.devicePort, 8090);
    EXPECT_EQ(terminal.requestCount(), 0);
}

TEST(SerialNumberCommand, SendsTheExampleRequestAndLogsRawLineThenSerial)
{
    FakeTerminal terminal(27);
    terminal.then(TerminalReply::json(R"({"success":true,"data":"ABC123"})"));
    HttpClient client(kFormContentType);
    const SerialNumberResult result = ReadSerialNumber({terminal.host(), 8090}, client);
    EXPECT_EQ(terminal.lastRequest().raw, "POST /getDeviceKey HTTP/1.0\r\n"
                                          "Connection: keep-alive\r\n"
                                          "Content-Type: application/x-www-form-urlencoded\r\n"
                                          "Content-Length: 0\r\n"
                                          "Host: 127.0.2.27:8090\r\n"
                                          "Accept: text/html, */*\r\n"
                                          "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                          "\r\n");
    EXPECT_EQ(result.log.lines, (QStringList{R"({"success":true,"data":"ABC123"})",
                                             QStringLiteral("127.0.2.27序列号:ABC123")}));
    EXPECT_EQ(result.serialNo, QString("ABC123"));
}

TEST(SerialNumberCommand, FailureAbnormalAndExceptionLines)
{
    FakeTerminal terminal(28);
    const DeviceConnection connection{terminal.host(), 8090};
    terminal.then(TerminalReply::json(R"({"success":false,"data":"X"})"))
        .then(TerminalReply::json(R"({"success":"false","data":7})"))
        .then(TerminalReply::json(R"({"data":"X"})"))
        .then(TerminalReply::json(R"({"success":true})"))
        .then(TerminalReply::status(404, "Not Found"))
        .then(TerminalReply::status(200, "OK",
                                    TextCodec::toGbk(QStringLiteral(R"({"success":true,"data":"开"})"))));
    const std::pair<QStringList, std::optional<QString>> expected[] = {
        {{R"({"success":false,"data":"X"})", QStringLiteral("127.0.2.28获取序列号失败")}, std::nullopt},
        {{R"({"success":"false","data":7})", QStringLiteral("127.0.2.28序列号:7")}, QString("7")},
        {{R"({"data":"X"})", QStringLiteral("127.0.2.28获取序列号异常")}, std::nullopt},
        {{R"({"success":true})", QStringLiteral("操作失败")}, std::nullopt},
        {{QStringLiteral("操作失败")}, std::nullopt},
        {{QString(), QStringLiteral("操作失败")}, std::nullopt},
    };
    HttpClient client(kFormContentType);
    for (const auto& [log, serial] : expected) {
        const SerialNumberResult result = ReadSerialNumber(connection, client);
        EXPECT_EQ(result.log.lines, log);
        EXPECT_EQ(result.serialNo, serial);
        EXPECT_FALSE(result.log.error);
    }
}

TEST(SerialNumberCommand, BeforeAnyConnectItFailsWithoutReachingATerminal)
{
    HttpClient client(kFormContentType);
    const SerialNumberResult result = ReadSerialNumber({}, client);
    EXPECT_EQ(result.log.lines, QStringList{QStringLiteral("操作失败")});
}

TEST(PasswordCommand, SendsBothPasswordsAndReportsTheOutcome)
{
    FakeTerminal terminal(29);
    const DeviceConnection connection{terminal.host(), 8090};
    terminal.then(TerminalReply::json(R"({"success":true})"))
        .then(TerminalReply::json(QStringLiteral(R"({"success":false,"msg":"原密码错误"})")))
        .then(TerminalReply::json(R"({"success":false})"))
        .then(TerminalReply::json(R"({"result":1})"));
    HttpClient client(kFormContentType);
    EXPECT_EQ(ChangePassword(connection, "58104726", "a b+c", client).lines,
              (QStringList{R"({"success":true})", QStringLiteral("127.0.2.29修改密码成功")}));
    EXPECT_EQ(terminal.lastRequest().body, "oldPass=58104726&newPass=a+b%2Bc");
    EXPECT_EQ(ChangePassword(connection, "", "1", client).lines.last(),
              QStringLiteral("127.0.2.29修改密码失败[原密码错误]"));
    EXPECT_EQ(terminal.lastRequest().body, "newPass=1");
    EXPECT_EQ(ChangePassword(connection, "1", "2", client).lines.last(), QStringLiteral("操作失败"));
    EXPECT_EQ(ChangePassword(connection, "1", "2", client).lines.last(),
              QStringLiteral("127.0.2.29修改密码异常"));
}
