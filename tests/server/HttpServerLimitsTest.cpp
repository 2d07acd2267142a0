#include "server/ServerFixture.h"
#include "support/LoopbackClient.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const QByteArray kAttendanceReply =
    "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 27\r\nConnection: close\r\n\r\n"
    R"({"result":1,"success":true})";

} // namespace

TEST(HttpServerLimits, HugeBodyIsRefusedAndTheServerGoesOn)
{
    ServerFixture served("127.0.3.20");
    const QByteArray reply = whileServing([&] {
        LoopbackClient client(served.address, ServerFixture::kPort);
        client.send("POST /uploadFaceImage HTTP/1.1\r\nHost: t\r\nContent-Type: image/jpeg\r\n"
                    "Content-Length: 104857600\r\n\r\n");
        client.send(QByteArray(1 << 20, 'x'));
        return client.readAll();
    });
    EXPECT_TRUE(reply.startsWith("HTTP/1.1 413 Payload Too Large\r\n")) << reply.left(80).constData();
    EXPECT_TRUE(served.window.lines.isEmpty());
    EXPECT_EQ(served.exchange(getRequest("/attendance")), kAttendanceReply);
}

TEST(HttpServerLimits, BodyWithoutLengthIsBoundedToo)
{
    HttpServerLimits limits;
    limits.maxBodyBytes = 1000;
    ServerFixture served("127.0.3.21", limits);
    const QByteArray request = "POST /uploadFaceImage HTTP/1.1\r\nHost: t\r\n\r\n" + QByteArray(1001, 'x');
    EXPECT_TRUE(served.exchange(request, true).startsWith("HTTP/1.1 413 "));
    const QByteArray fits = "POST /uploadFaceImage HTTP/1.1\r\nHost: t\r\n\r\n" + QByteArray(1000, 'x');
    EXPECT_TRUE(served.exchange(fits, true).startsWith("HTTP/1.1 200 "));
}

TEST(HttpServerLimits, OversizedHeaderIsRefused)
{
    ServerFixture served("127.0.3.22");
    const QByteArray request = "GET /attendance HTTP/1.1\r\nX-Pad: " + QByteArray(20000, 'p') + "\r\n\r\n";
    EXPECT_TRUE(served.exchange(request).startsWith("HTTP/1.1 431 "));
    EXPECT_TRUE(served.exchange("NONSENSE\r\n\r\n").startsWith("HTTP/1.1 400 "));
    EXPECT_TRUE(served.window.lines.isEmpty());
}

TEST(HttpServerLimits, StalledClientDoesNotHoldUpOthersAndIsDroppedAfterTheTimeOut)
{
    HttpServerLimits limits;
    limits.readTimeout = std::chrono::milliseconds(300);
    ServerFixture served("127.0.3.23", limits);
    LoopbackClient stalled(served.address, ServerFixture::kPort);
    ASSERT_TRUE(stalled.send("GET /attendance HTTP/1.1\r\nHo"));
    EXPECT_EQ(served.exchange(getRequest("/attendance")), kAttendanceReply);
    // The server gives up on it: the connection ends without a reply.
    EXPECT_EQ(stalled.readAll(), "");
    EXPECT_EQ(served.window.linesOf(LogPane::mmoLog), (QStringList{"/attendance", ""}));
}

TEST(HttpServerLimits, OtherMethodsAreClosedWithoutReplyOrRoute)
{
    ServerFixture served("127.0.3.24");
    EXPECT_EQ(served.exchange("DELETE /attendance HTTP/1.1\r\nHost: t\r\n\r\n"), "");
    EXPECT_EQ(served.exchange("PUT /heartBeat HTTP/1.1\r\nHost: t\r\nContent-Length: 2\r\n\r\n{}"), "");
    EXPECT_TRUE(served.window.lines.isEmpty());
}

TEST(HttpServerLimits, ClientWaitingForContinueGetsIt)
{
    ServerFixture served("127.0.3.25");
    const QByteArray body = "a=1";
    const QByteArray reply = whileServing([&] {
        LoopbackClient client(served.address, ServerFixture::kPort);
        client.send("POST /attendance HTTP/1.1\r\nHost: t\r\nExpect: 100-continue\r\n"
                    "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 3\r\n\r\n");
        const QByteArray interim = client.read(25);
        client.send(body);
        return interim + client.readAll();
    });
    EXPECT_EQ(reply, "HTTP/1.1 100 Continue\r\n\r\n" + kAttendanceReply);
    EXPECT_EQ(served.window.linesOf(LogPane::mmoLog), (QStringList{"/attendance", "a=1\r\n"}));
}

TEST(HttpServerLimits, ThousandConnectionsAtOnceAreServedOrRefused)
{
    ServerFixture served("127.0.3.26");
    std::vector<std::unique_ptr<LoopbackClient>> clients;
    for (int i = 0; i < 1000; ++i) {
        clients.push_back(std::make_unique<LoopbackClient>(served.address, ServerFixture::kPort));
        clients.back()->send(getRequest("/attendance"));
    }
    int answered = 0;
    int refused = 0;
    whileServing([&] {
        for (const auto& client : clients) {
            const QByteArray reply = client->readAll();
            answered += reply == kAttendanceReply;
            refused += reply.isEmpty();
        }
        return QByteArray();
    });
    EXPECT_GE(answered, 256);
    EXPECT_EQ(answered + refused, 1000);
    clients.clear();
    EXPECT_EQ(served.exchange(getRequest("/attendance")), kAttendanceReply);
}
