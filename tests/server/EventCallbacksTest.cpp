#include "server/EventCallbacks.h"
#include "server/RequestDecoding.h"
#include "server/ServerFixture.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kEmptyJsonReply =
    "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n";

} // namespace

TEST(EventCallbacks, HeartbeatTellsWhetherATaskWaits)
{
    ServerFixture served("127.0.3.10");
    EXPECT_EQ(served.exchange(postRequest("/api/heartBeat?sn=1", "application/json", "{}")), kEmptyJsonReply);

    served.window.heartbeat = {true, false};
    EXPECT_EQ(served.exchange(getRequest("/heartBeat")),
              "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 16\r\n"
              "Connection: close\r\n\r\n{\"result\": true}");

    served.window.heartbeat = {false, true};
    EXPECT_EQ(served.exchange(getRequest("/heartBeat")),
              "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 17\r\n"
              "Connection: close\r\n\r\n{\"result\": false}");

    EXPECT_EQ(served.window.linesOf(LogPane::mmoLog),
              (QStringList{"/api/heartBeat", "sn=1\r\n", "/heartBeat", "", "/heartBeat", ""}));
    EXPECT_TRUE(served.window.linesOf(LogPane::mmMsg).isEmpty());
}

TEST(EventCallbacks, QrCodeReplyIsItsTextInUtf8)
{
    ServerFixture served("127.0.3.11");
    const QByteArray text =
        R"({"ttsModContent":"开门成功","displayModContent":"二维码识别成功","isOpenRelay":1})";
    EXPECT_EQ(
        served.exchange(postRequest("/lan/QRCodeCallback", "application/x-www-form-urlencoded", "qr=A1")),
        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(text.size()) +
            "\r\nConnection: close\r\n\r\n" + text);
    EXPECT_EQ(served.window.linesOf(LogPane::mmoLog), (QStringList{"/lan/QRCodeCallback", "qr=A1\r\n"}));
}

TEST(EventCallbacks, RecognitionEventLogsItsParameterList)
{
    FakeServerWindow window;
    const ServerRequest json =
        RequestDecoding::makeRequest("/attendance", "application/json", 9, R"({"id":1})");
    EXPECT_EQ(EventCallbacks::attendance(json, window).body, R"({"result":1,"success":true})");
    const ServerRequest form = RequestDecoding::makeRequest(
        "/attendance", "application/x-www-form-urlencoded", 13, "personId=7&t=1");
    EventCallbacks::attendance(form, window);
    EXPECT_EQ(window.linesOf(LogPane::mmoLog), (QStringList{"", "personId=7\r\nt=1\r\n"}));
}
