#include "server/FakeServerWindow.h"
#include "server/RequestDecoding.h"
#include "server/RequestDispatch.h"
#include "server/RouteTable.h"
#include "server/ServerFixture.h"

#include <gtest/gtest.h>

namespace {

ServerReply dispatch(FakeServerWindow& window, const QByteArray& target, const QByteArray& body = {})
{
    return HTTPServerCommandGet(RequestDecoding::makeRequest(target, "application/json", body.size(), body),
                                window);
}

} // namespace

TEST(Dispatch, FirstKeywordInTableOrderWins)
{
    EXPECT_EQ(findRoute("/attendance/heartBeat"), Route::Attendance);
    EXPECT_EQ(findRoute("/device/attendance/lan/QRCodeCallback"), Route::Attendance);
    EXPECT_EQ(findRoute("/x/getTask/uploadTaskResults"), Route::GetTask);
    EXPECT_EQ(findRoute("/api/pay/queryAccount"), Route::QueryAccount);
    EXPECT_EQ(findRoute("/queryAccountX"), Route::QueryAccount);
    EXPECT_EQ(findRoute("/uploadRecords/uploadFaceImage"), Route::UploadRecords);
    EXPECT_EQ(findRoute("uploadFaceImage"), Route::UploadFaceImage);
    EXPECT_EQ(findRoute("/heartbeat"), std::nullopt);
    EXPECT_EQ(findRoute("attendance"), std::nullopt);
}

TEST(Dispatch, PathWithTwoKeywordsGetsTheFirstRoutesReply)
{
    FakeServerWindow window;
    const ServerReply reply = dispatch(window, "/attendance/heartBeat");
    EXPECT_EQ(reply.body, R"({"result":1,"success":true})");
    EXPECT_EQ(reply.contentType, "text/html");
}

TEST(Dispatch, UnmatchedPathIsLoggedAndAnsweredEmpty)
{
    for (const QByteArray target : {"/heartbeat", "/x?getTask", "/imgreg"}) {
        FakeServerWindow window;
        const ServerReply reply = dispatch(window, target, R"({"a":1})");
        EXPECT_EQ(reply.status, 200) << target.constData();
        EXPECT_EQ(reply.contentType, "text/html");
        EXPECT_TRUE(reply.body.isEmpty());
        EXPECT_EQ(window.lines.size(), 1);
        EXPECT_EQ(window.linesOf(LogPane::mmoLog),
                  QStringList{QString::fromLatin1(target).section('?', 0, 0)});
    }
}

TEST(Dispatch, RoutesNotBuiltYetSayNotImplementedAfterThePathLine)
{
    for (const char* target : {"/x/getTask/uploadTaskResults", "/uploadTaskResults", "/pay/queryAccount",
                               "/onlineTrade", "/queryTerminalSeq", "/revokeTerminalSeq", "/queryTerminalSum",
                               "/queryOrderMenu", "/confirmOrderMenu", "/uploadRecords/uploadFaceImage"}) {
        FakeServerWindow window;
        const ServerReply reply = dispatch(window, target, "{}");
        EXPECT_EQ(reply.status, 501) << target;
        EXPECT_EQ(reply.body, "not implemented yet");
        EXPECT_EQ(window.linesOf(LogPane::mmoLog), QStringList{QString::fromLatin1(target)});
        EXPECT_TRUE(window.linesOf(LogPane::mmMsg).isEmpty());
    }
}

TEST(Dispatch, SendJsonReplyGoesOutAsUtf8AndIsLoggedAsWritten)
{
    FakeServerWindow window;
    ServerReply reply;
    reply.status = 500;
    const QString text = QString::fromUtf8(R"({"msg":"接收成功"})");
    SendJsonReply(reply, window, text);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.contentType, "application/json");
    EXPECT_EQ(reply.body, text.toUtf8());
    EXPECT_EQ(window.linesOf(LogPane::mmMsg), QStringList{text});
}

TEST(Dispatch, OverTheWireTheQueryIsNeverSearched)
{
    ServerFixture served("127.0.3.6");
    EXPECT_EQ(served.exchange(getRequest("/x?getTask")),
              "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(served.exchange(getRequest("/x/getTask/uploadTaskResults")).startsWith("HTTP/1.1 501 "));
    EXPECT_EQ(served.window.linesOf(LogPane::mmoLog), (QStringList{"/x", "/x/getTask/uploadTaskResults"}));
}
