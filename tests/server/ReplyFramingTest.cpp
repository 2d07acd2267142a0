#include "server/ReplyFraming.h"
#include "server/ServerFixture.h"

#include <gtest/gtest.h>

TEST(ReplyFraming, ReplyWithBodyOnTheWire)
{
    ServerFixture served("127.0.3.2");
    EXPECT_EQ(served.exchange(getRequest("/attendance")),
              "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 27\r\nConnection: close\r\n\r\n"
              R"({"result":1,"success":true})");
}

TEST(ReplyFraming, EmptyReplyHasNeitherLengthNorBody)
{
    ServerFixture served("127.0.3.3");
    EXPECT_EQ(served.exchange(getRequest("/imgreg")),
              "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
}

TEST(ReplyFraming, FailedRouteAnswers500WithTheErrorText)
{
    ServerFixture served("127.0.3.4");
    served.window.photoFails = true;
    const QByteArray body = "--b\r\nContent-Type: image/jpeg\r\n\r\nJPEG\r\n--b--\r\n";
    EXPECT_EQ(served.exchange(postRequest("/uploadFaceImage", "multipart/form-data; boundary=b", body)),
              "HTTP/1.1 500 Internal Server Error\r\nContent-Type: text/html\r\nContent-Length: 21\r\n"
              "Connection: close\r\n\r\ncannot write recv.jpg");
}

TEST(ReplyFraming, HeadGetsTheHeadersOnly)
{
    ServerFixture served("127.0.3.5");
    EXPECT_EQ(
        served.exchange("HEAD /attendance HTTP/1.1\r\nHost: t\r\n\r\n"),
        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 27\r\nConnection: close\r\n\r\n");
}

TEST(ReplyFraming, StatusLinesOfTheServersOwnAnswers)
{
    ServerReply reply;
    reply.status = 501;
    reply.body = "not implemented yet";
    EXPECT_EQ(frameReply(reply),
              "HTTP/1.1 501 Not Implemented\r\nContent-Type: text/html\r\nContent-Length: 19\r\n"
              "Connection: close\r\n\r\nnot implemented yet");
    reply = {};
    reply.status = 413;
    EXPECT_TRUE(frameReply(reply).startsWith("HTTP/1.1 413 Payload Too Large\r\n"));
}
