#include "common/Failure.h"
#include "device/CommandEnvelope.h"
#include "support/FakeTerminal.h"

#include <gtest/gtest.h>

namespace {

DeviceConnection at(const FakeTerminal& terminal)
{
    return {terminal.host(), terminal.port()};
}

QString failureText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Failure& failure) {
        return failure.text();
    }
    return QStringLiteral("(no failure)");
}

} // namespace

TEST(Envelope, CommandUrlJoinsHostPortAndPathUnescaped)
{
    EXPECT_EQ(CommandUrl({"172.16.1.115", 8090}, "device/config?pass=a b&x=%1"),
              "http://172.16.1.115:8090/device/config?pass=a b&x=%1");
    EXPECT_EQ(CommandUrl({}, "getDeviceKey"), "http://:0/getDeviceKey");
}

TEST(Envelope, PostFormSendsEncodedFieldsAndReturnsTheBodyBytes)
{
    FakeTerminal terminal(2);
    terminal.then(TerminalReply::json(QStringLiteral(R"({"success":true,"msg":"好"})")));
    HttpClient client(kFormContentType);
    FormFields fields;
    fields.set("pass", "58104726");
    fields.set("empty", "");
    fields.set("name", QStringLiteral("Tom & Jerry 开"));
    const QByteArray reply = PostForm(client, CommandUrl(at(terminal), "setPassWord"), fields);
    EXPECT_EQ(reply, QStringLiteral(R"({"success":true,"msg":"好"})").toUtf8());
    const RecordedRequest request = terminal.lastRequest();
    EXPECT_EQ(request.body, "pass=58104726&name=Tom+%26+Jerry+%BF%AA");
    EXPECT_EQ(request.header("Content-Length"), "39");
}

TEST(Envelope, PostTextSendsTheBodyAsItStands)
{
    FakeTerminal terminal(3);
    HttpClient client(kFormContentType);
    PostText(client, CommandUrl(at(terminal), "device/x?pass=1&id= a"),
             QStringLiteral(" {\"name\":\"开 \"}\r\n"));
    const RecordedRequest request = terminal.lastRequest();
    EXPECT_EQ(request.requestLine, "POST /device/x?pass=1&id= a HTTP/1.0");
    EXPECT_EQ(request.body, " {\"name\":\"\xBF\xAA \"}\r\n");
    EXPECT_EQ(request.header("Content-Length"), "17");
}

TEST(Envelope, PutAndGetUseHttp11WithTheirHeadersInOrder)
{
    FakeTerminal terminal(4);
    HttpClient client(kFormContentType);
    PutText(client, CommandUrl(at(terminal), "device/setLanguage"), R"({"pass":"1"})");
    GetText(client, CommandUrl(at(terminal), "device/config?pass=1"));
    const auto requests = terminal.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].raw, "PUT /device/setLanguage HTTP/1.1\r\n"
                               "Content-Type: application/x-www-form-urlencoded\r\n"
                               "Content-Length: 12\r\n"
                               "Host: 127.0.2.4:8090\r\n"
                               "Accept: text/html, */*\r\n"
                               "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                               "\r\n"
                               "{\"pass\":\"1\"}");
    EXPECT_EQ(requests[1].raw, "GET /device/config?pass=1 HTTP/1.1\r\n"
                               "Content-Type: application/x-www-form-urlencoded\r\n"
                               "Host: 127.0.2.4:8090\r\n"
                               "Accept: text/html, */*\r\n"
                               "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                               "\r\n");
}

TEST(Envelope, PutAndGetReuseAKeptConnectionWhilePostAlwaysOpensANewOne)
{
    FakeTerminal terminal(5);
    terminal.setDefaultReply(TerminalReply::json(R"({"success":true})").keepAlive());
    HttpClient client(kFormContentType);
    const QString url = CommandUrl(at(terminal), "x");
    PutText(client, url, "{}");
    GetText(client, url);
    GetText(client, url);
    PostText(client, url, "");
    PostText(client, url, "");
    GetText(client, url);
    terminal.setDefaultReply(TerminalReply::json(R"({"success":true})"));
    GetText(client, url);
    GetText(client, url);
    std::vector<int> connections;
    for (const RecordedRequest& request : terminal.requests())
        connections.push_back(request.connection);
    EXPECT_EQ(connections, (std::vector<int>{1, 1, 1, 2, 3, 3, 3, 4}));
}

TEST(Envelope, AKeptConnectionTheTerminalClosedIsReplacedSilently)
{
    FakeTerminal terminal(6);
    terminal.then(TerminalReply::json(R"({"n":1})").keepAlive()).then(TerminalReply::hangUp());
    terminal.then(TerminalReply::json(R"({"n":2})"));
    HttpClient client(kFormContentType);
    const QString url = CommandUrl(at(terminal), "x");
    GetText(client, url);
    EXPECT_EQ(GetText(client, url), R"({"n":2})");
    EXPECT_EQ(terminal.requestCount(), 3);
    EXPECT_EQ(terminal.connectionCount(), 2);
}

TEST(Envelope, TargetKeepsRawBytesTurnsBackslashesIntoSlashesAndDropsTheFragment)
{
    FakeTerminal terminal(7);
    HttpClient client(kFormContentType);
    GetText(client, CommandUrl(at(terminal), QStringLiteral("person\\find?id=开 1&a=%20#frag?x")));
    EXPECT_EQ(terminal.lastRequest().requestLine, "GET /person/find?id=\xBF\xAA 1&a=%20 HTTP/1.1");
}

TEST(Envelope, CookiesSetByAReplyGoBackToThatHost)
{
    FakeTerminal terminal(8);
    FakeTerminal other(9);
    terminal.then(TerminalReply::json("{}")
                      .header("Set-Cookie", "session=abc; Path=/; HttpOnly")
                      .header("Set-Cookie", "lang=zh"));
    terminal.then(TerminalReply::json("{}").header("Set-Cookie", "session=def"));
    HttpClient client(kFormContentType);
    PostForm(client, CommandUrl(at(terminal), "a"), FormFields());
    GetText(client, CommandUrl(at(terminal), "b"));
    PutText(client, CommandUrl(at(terminal), "c"), "{}");
    GetText(client, CommandUrl(at(other), "d"));
    const auto requests = terminal.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_FALSE(requests[0].hasHeader("Cookie"));
    EXPECT_EQ(requests[1].headerLines.last(), "Cookie: session=abc; lang=zh");
    EXPECT_EQ(requests[2].headerLines.last(), "Cookie: session=def; lang=zh");
    EXPECT_FALSE(other.lastRequest().hasHeader("Cookie"));
}

TEST(Envelope, StatusOutsideSuccessFailsWithTheStatusLineAndRedirectsAreNotFollowed)
{
    FakeTerminal terminal(10);
    terminal.then(TerminalReply::status(302, "Found").header("Location", "http://127.0.2.10:8090/elsewhere"));
    terminal.then(TerminalReply::status(404, "Not Found", "<html>gone</html>"));
    terminal.then(TerminalReply::status(204, "No Content"));
    HttpClient client(kFormContentType);
    const QString url = CommandUrl(at(terminal), "x");
    EXPECT_EQ(failureText([&] { PostForm(client, url, FormFields()); }), "HTTP/1.1 302 Found");
    EXPECT_EQ(failureText([&] { GetText(client, url); }), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(PostText(client, url, ""), "");
    EXPECT_EQ(terminal.requestCount(), 3);
}

TEST(Envelope, ReplyWithoutLengthEndsWithTheConnection)
{
    FakeTerminal terminal(16);
    terminal.then(TerminalReply::raw("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n{\"success\":true}"));
    terminal.then(TerminalReply::raw("HTTP/1.0 500 Internal Server Error\r\n\r\n"));
    HttpClient client(kFormContentType);
    EXPECT_EQ(GetText(client, CommandUrl(at(terminal), "x")), R"({"success":true})");
    EXPECT_EQ(failureText([&] { GetText(client, CommandUrl(at(terminal), "x")); }),
              "HTTP/1.0 500 Internal Server Error");
}

TEST(Envelope, SecondClientSwitchesToFormContentTypeForGoodAtItsFirstFormPost)
{
    FakeTerminal terminal(11);
    HttpClient client("text/html");
    const QString url = CommandUrl(at(terminal), "x");
    PostText(client, url, "a=1");
    PostEncodedForm(client, url, "pass=1&url=");
    PostText(client, url, "a=1");
    const auto requests = terminal.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].header("Content-Type"), "text/html");
    EXPECT_EQ(requests[1].header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[1].body, "pass=1&url=");
    EXPECT_EQ(requests[2].header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST(Envelope, ASilentTerminalEndsTheWaitAfterTheTimeOut)
{
    FakeTerminal terminal(12);
    terminal.setDefaultReply(TerminalReply::silence());
    HttpClient client(kFormContentType);
    client.setTimeoutMs(300);
    EXPECT_EQ(failureText([&] { GetText(client, CommandUrl(at(terminal), "x")); }), "Read timed out.");
}

TEST(Envelope, ATrickleThatNeverStallsLongerThanTheTimeOutIsReadWhole)
{
    FakeTerminal terminal(13);
    terminal.then(TerminalReply::json(R"({"success":true})").after(std::chrono::milliseconds(150)));
    HttpClient client(kFormContentType);
    client.setTimeoutMs(1000);
    EXPECT_EQ(GetText(client, CommandUrl(at(terminal), "x")), R"({"success":true})");
}

TEST(Envelope, NoTerminalYetOrNobodyListeningFailsToConnect)
{
    HttpClient client(kFormContentType);
    EXPECT_THROW(PostForm(client, CommandUrl({}, "getDeviceKey"), FormFields()), Failure);
    EXPECT_THROW(GetText(client, CommandUrl({"127.0.2.14", 8090}, "x")), Failure);
}

TEST(Envelope, CancelEndsAWaitingRequestAndEveryLaterOneUntilRearmed)
{
    FakeTerminal terminal(15);
    terminal.then(TerminalReply::silence());
    HttpClient client(kFormContentType);
    const QString url = CommandUrl(at(terminal), "x");
    std::thread canceller([&] {
        terminal.waitForRequests(1);
        client.cancel();
    });
    EXPECT_EQ(failureText([&] { GetText(client, url); }), "Operation aborted.");
    canceller.join();
    EXPECT_EQ(failureText([&] { GetText(client, url); }), "Operation aborted.");
    client.rearm();
    EXPECT_EQ(GetText(client, url), R"({"success":true,"data":"ABC123"})");
}
