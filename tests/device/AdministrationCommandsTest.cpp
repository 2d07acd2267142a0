#include "common/Failure.h"
#include "device/AdministrationCommands.h"
#include "device/CommandEnvelope.h"
#include "device/FtpAccountCommand.h"
#include "device/TerminalOptionCommands.h"
#include "support/FakeTerminal.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QByteArray kNetwork = "127.0.10.";
const QString kPass = QStringLiteral("58104726");

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

RecordSettings keepIn(SettingValues& recorded)
{
    return [&recorded](const SettingValues& values) {
        recorded.insert(recorded.end(), values.begin(), values.end());
    };
}

// A command that logs the raw reply and then its success, failure or abnormal line.
struct StandardCase
{
    const char* name;
    std::function<CommandLog(const DeviceConnection&, HttpClient&)> run;
    QByteArray requestLine;
    QByteArray body;
    const char* subject; // S is subject + "成功", F subject + "失败[%s]", A subject + "异常"
};

} // namespace

TEST(TerminalOptionCommands, RequestAndOutcomeLinesOfEveryStandardCommand)
{
    FakeTerminal terminal(1, 8090, kNetwork);
    const DeviceConnection connection{terminal.host(), 8090};
    const QString host = terminal.host();
    SettingValues recorded;
    const StandardCase cases[] = {
        {"time zone",
         [](auto& c, auto& h) { return SetTimeZone(c, kPass, u("Asia/Shanghai 中国标准时间 (北京)"), h); },
         "POST /device/setTimeZone HTTP/1.0", "pass=58104726&timeZone=Asia%2FShanghai", "设置时区"},
        {"no time zone", [](auto& c, auto& h) { return SetTimeZone(c, kPass, QString(), h); },
         "POST /device/setTimeZone HTTP/1.0", "pass=58104726", "设置时区"},
        {"chinese", [](auto& c, auto& h) { return SetLanguage(c, kPass, u("简体中文"), h); },
         "POST /device/setLanguage HTTP/1.0", "pass=58104726&languageType=zh%5FCN", "语言切换"},
        {"english", [](auto& c, auto& h) { return SetLanguage(c, kPass, u("英文"), h); },
         "POST /device/setLanguage HTTP/1.0", "pass=58104726&languageType=en", "语言切换"},
        {"landscape",
         [&](auto& c, auto& h) {
             return SetScreenOrientation(c, {kPass, 0, u("横屏")}, keepIn(recorded), h);
         },
         "POST /setScreenOrt HTTP/1.0", "pass=58104726&orientation=1", "设置屏幕方向"},
        {"typed orientation",
         [&](auto& c, auto& h) {
             return SetScreenOrientation(c, {kPass, -1, u("斜")}, keepIn(recorded), h);
         },
         "POST /setScreenOrt HTTP/1.0", "pass=58104726&orientation=0", "设置屏幕方向"},
        {"widgets off", [](auto& c, auto& h) { return ConfigureWidgets(c, kPass, {}, h); },
         "POST /widgetConfig HTTP/1.0", "pass=58104726&showIp=0&showDeviceKey=0&showPeopleNum=0",
         "修改隐藏功能"},
        {"widgets mixed",
         [](auto& c, auto& h) {
             return ConfigureWidgets(c, "", {true, false, true}, h);
         },
         "POST /widgetConfig HTTP/1.0", "showIp=1&showDeviceKey=0&showPeopleNum=1", "修改隐藏功能"},
        {"disable", [](auto& c, auto& h) { return SetDisabled(c, kPass, true, h); },
         "PUT /device/disable HTTP/1.1", R"({"pass":"58104726","isDisable":true})", "禁用/启用设置"},
        {"enable", [](auto& c, auto& h) { return SetDisabled(c, "a\"b", false, h); },
         "PUT /device/disable HTTP/1.1", R"({"pass":"a"b","isDisable":false})", "禁用/启用设置"},
        {"screen saver", [](auto& c, auto& h) { return SetScreenSaverTime(c, kPass, "100", h); },
         "PUT /device/screenSaverTime HTTP/1.1", R"({"pass":"58104726","time":100})", "屏保待机时间设置"},
        {"screen saver negative hexadecimal",
         [](auto& c, auto& h) { return SetScreenSaverTime(c, kPass, " -$10", h); },
         "PUT /device/screenSaverTime HTTP/1.1", R"({"pass":"58104726","time":-16})", "屏保待机时间设置"},
        {"door", [](auto& c, auto& h) { return OpenDoor(c, kPass, 2, h); },
         "POST /device/openDoorControl HTTP/1.0", "pass=58104726&type=3", "远程开门"},
        {"custom door", [](auto& c, auto& h) { return OpenDoor(c, kPass, 3, h); },
         "POST /device/openDoorControl HTTP/1.0",
         "pass=58104726&type=4&content=%7B%22ttsModContent%22%3A%22%D7%D4%B6%A8%D2%E5%D3%EF%D2%F4%22%2C%22"
         "displayModeContent%22%3A%22%D7%D4%B6%A8%D2%E5%CE%C4%D7%D6%22%7D",
         "远程开门"},
        {"ftp",
         [](auto& c, auto& h) {
             return SetFtpAccount(c, {kPass, "admin", "a#b&c d"}, h);
         },
         "POST /setFTP?pass=58104726&username=admin&password=a%23b%26c%20d HTTP/1.0", "", "FTP设置"},
        {"ftp in gbk",
         [](auto& c, auto& h) {
             return SetFtpAccount(c, {"", u("用 户"), "1+1=2?%\\"}, h);
         },
         "POST /setFTP?pass=&username=%D3%C3%20%BB%A7&password=1%2B1%3D2%3F%25%5C HTTP/1.0", "", "FTP设置"},
    };
    for (const StandardCase& c : cases) {
        terminal.then(TerminalReply::json(R"({"success":true,"msg":"ok"})"))
            .then(TerminalReply::json(u(R"({"success":false,"msg":"不行"})")))
            .then(TerminalReply::json(R"({"msg":"?"})"))
            .then(TerminalReply::json(R"({"success":false})"))
            .then(TerminalReply::status(500, "Internal Server Error"));
        const QString subject = u(c.subject);
        HttpClient client(kFormContentType);
        EXPECT_EQ(c.run(connection, client).lines,
                  (QStringList{R"({"success":true,"msg":"ok"})", host + subject + u("成功")}))
            << c.name;
        const RecordedRequest request = terminal.lastRequest();
        EXPECT_EQ(request.requestLine, c.requestLine) << c.name;
        EXPECT_EQ(request.body, c.body) << c.name;
        EXPECT_EQ(request.header("Content-Length"), QByteArray::number(c.body.size())) << c.name;
        EXPECT_EQ(c.run(connection, client).lines,
                  (QStringList{u(R"({"success":false,"msg":"不行"})"), host + subject + u("失败[不行]")}))
            << c.name;
        EXPECT_EQ(c.run(connection, client).lines,
                  (QStringList{R"({"msg":"?"})", host + subject + u("异常")}))
            << c.name;
        // A failure line that needs "msg" fails without it.
        EXPECT_EQ(c.run(connection, client).lines, (QStringList{R"({"success":false})", u("操作失败")}))
            << c.name;
        const CommandLog error = c.run(connection, client);
        EXPECT_EQ(error.lines, QStringList{u("操作失败")}) << c.name;
        EXPECT_FALSE(error.error) << c.name;
    }
    // Only the successful orientation commands record their caption.
    EXPECT_EQ(recorded, (SettingValues{{"orientation", u("横屏")}, {"orientation", u("斜")}}));
}

TEST(TerminalOptionCommands, ScreenSaverDelayThatIsNoNumberStopsBeforeSending)
{
    FakeTerminal terminal(2, 8090, kNetwork);
    HttpClient client(kFormContentType);
    for (const char* text : {"abc", "", "5 "}) {
        try {
            SetScreenSaverTime({terminal.host(), 8090}, kPass, text, client);
            ADD_FAILURE() << text;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.text(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
    EXPECT_EQ(terminal.requestCount(), 0);
}

TEST(TerminalOptionCommands, FailedOrientationSettingsWriteEndsOnTheExceptionLine)
{
    FakeTerminal terminal(3, 8090, kNetwork);
    HttpClient client(kFormContentType);
    const auto failingWrite = [](const SettingValues&) { throw Failure("Unable to write to x"); };
    EXPECT_EQ(
        SetScreenOrientation({terminal.host(), 8090}, {kPass, 1, u("竖屏")}, failingWrite, client).lines,
        (QStringList{R"({"success":true,"data":"ABC123"})", u("操作失败")}));
}

TEST(NetworkCommand, SuccessMovesTheConnectionAndRecordsTheFiveKeysBeforeItsLine)
{
    FakeTerminal current(4, 8090, kNetwork);
    FakeTerminal next(5, 8090, kNetwork);
    current.then(TerminalReply::json(u(R"({"success":true,"msg":"设置成功"})")));
    HttpClient client(kFormContentType);
    SettingValues recorded;
    const NetworkFields fields{kPass, 1, u("手动配置模式"), next.host(), "127.0.10.254", "255.255.255.0", ""};
    NetworkResult result = SetNetworkInfo({current.host(), 8090}, fields, keepIn(recorded), client);
    EXPECT_EQ(current.lastRequest().body, "pass=58104726&isDHCPMod=2&ip=127%2E0%2E10%2E5&gateway=127%2E0%"
                                          "2E10%2E254&subnetMask=255%2E255%2E255%2E0");
    EXPECT_EQ(result.log.lines,
              (QStringList{u(R"({"success":true,"msg":"设置成功"})"), next.host() + u("设置成功")}));
    EXPECT_EQ(result.connection.deviceHost, next.host());
    EXPECT_EQ(result.connection.devicePort, 8090);
    EXPECT_EQ(recorded, (SettingValues{{"IP", next.host()},
                                       {"geteway", "127.0.10.254"},
                                       {"SubnetMask", "255.255.255.0"},
                                       {"DSN", ""},
                                       {"DHCPMod", u("手动配置模式")}}));

    EXPECT_EQ(RestartDevice(result.connection, kPass, client).lines.size(), 1);
    EXPECT_EQ(next.requestCount(), 1);
    EXPECT_EQ(current.requestCount(), 1);
}

TEST(NetworkCommand, OutcomesThatKeepOrPartlyKeepTheConnection)
{
    FakeTerminal terminal(6, 8090, kNetwork);
    const DeviceConnection connection{terminal.host(), 8090};
    const NetworkFields fields{kPass, 0, u("DHCP模式"), "127.0.10.7", "", "", ""};
    HttpClient client(kFormContentType);
    SettingValues recorded;

    terminal.then(TerminalReply::json(R"({"success":false,"msg":"bad"})"));
    NetworkResult failed = SetNetworkInfo(connection, fields, keepIn(recorded), client);
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&isDHCPMod=1&ip=127%2E0%2E10%2E7");
    EXPECT_EQ(failed.log.lines.last(), terminal.host() + u("有线网络设置失败"));
    EXPECT_EQ(failed.connection.deviceHost, terminal.host());

    terminal.then(TerminalReply::json(R"({"result":0})"));
    EXPECT_EQ(SetNetworkInfo(connection, fields, keepIn(recorded), client).log.lines.last(),
              terminal.host() + u("有线网络设置异常"));
    EXPECT_TRUE(recorded.empty());

    // Without "msg" the line cannot be made, yet the move and the keys are done.
    terminal.then(TerminalReply::json(R"({"success":true})"));
    NetworkResult noMessage = SetNetworkInfo(connection, fields, keepIn(recorded), client);
    EXPECT_EQ(noMessage.log.lines.last(), u("操作失败"));
    EXPECT_EQ(noMessage.connection.deviceHost, "127.0.10.7");
    EXPECT_EQ(recorded.size(), 5u);

    terminal.then(TerminalReply::json(R"({"success":true,"msg":"ok"})"));
    const auto failingWrite = [](const SettingValues&) { throw Failure("Unable to write to x"); };
    NetworkResult unwritable = SetNetworkInfo(connection, fields, failingWrite, client);
    EXPECT_EQ(unwritable.log.lines.last(), u("操作失败"));
    EXPECT_EQ(unwritable.connection.deviceHost, "127.0.10.7");
}

TEST(ClockCommand, SendsTheClickMomentInMillisecondsEndingInThreeZeros)
{
    FakeTerminal terminal(8, 8090, kNetwork);
    const DeviceConnection connection{terminal.host(), 8090};
    terminal.then(TerminalReply::json(R"({"success":true,"msg":"ok"})"))
        .then(TerminalReply::json(R"({"success":false,"msg":"no"})"))
        .then(TerminalReply::json(R"({"data":1})"));
    HttpClient client(kFormContentType);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    EXPECT_EQ(SetClock(connection, kPass, QDateTime::currentDateTime(), client).lines.last(),
              terminal.host() + u("时间ok"));
    const QByteArray body = terminal.lastRequest().body;
    ASSERT_TRUE(body.startsWith("pass=58104726&timestamp=")) << body.constData();
    const QByteArray stamp = body.mid(body.indexOf("timestamp=") + 10);
    EXPECT_TRUE(stamp.endsWith("000")) << stamp.constData();
    EXPECT_LE(std::abs(stamp.toLongLong() / 1000 - before), 3);
    EXPECT_EQ(SetClock(connection, kPass, QDateTime::currentDateTime(), client).lines.last(),
              terminal.host() + u("时间设置失败"));
    EXPECT_EQ(SetClock(connection, kPass, QDateTime::currentDateTime(), client).lines.last(),
              terminal.host() + u("时间设置异常"));
}

TEST(RestartAndResetCommands, LogTheRawReplyOnlyAndDifferInTheirErrors)
{
    FakeTerminal terminal(9, 8090, kNetwork);
    const DeviceConnection connection{terminal.host(), 8090};
    terminal.then(TerminalReply::json(R"({"success":false})"))
        .then(TerminalReply::json("not json"))
        .then(TerminalReply::status(404, "Not Found"))
        .then(TerminalReply::status(404, "Not Found"));
    HttpClient client(kFormContentType);
    EXPECT_EQ(RestartDevice(connection, kPass, client).lines, QStringList{R"({"success":false})"});
    EXPECT_EQ(terminal.lastRequest().requestLine, "POST /restartDevice HTTP/1.0");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726");
    const CommandLog reset = ResetDevice(connection, kPass, client);
    EXPECT_EQ(reset.lines, QStringList{"not json"});
    EXPECT_FALSE(reset.error);
    EXPECT_EQ(terminal.lastRequest().requestLine, "POST /device/reset HTTP/1.0");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&delete=false");

    EXPECT_EQ(RestartDevice(connection, kPass, client).lines, QStringList{u("操作失败")});
    const CommandLog failedReset = ResetDevice(connection, kPass, client);
    EXPECT_TRUE(failedReset.lines.isEmpty());
    ASSERT_TRUE(failedReset.error);
    EXPECT_TRUE(failedReset.error->contains("404")) << failedReset.error->toStdString();
}
