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

TEST(Dispatch, EveryConsumptionKeywordReachesItsRouteAfterThePathLine)
{
    const struct
    {
        const char* target;
        const char* reply;
    } routes[] = {
        {"/x/getTask/uploadTaskResults", ""},
        {"/uploadTaskResults", R"({"result": true})"},
        {"/pay/queryAccount", R"({"result":-1,)"},
        {"/onlineTrade", R"({"result":1,"success":true,"msg":)"},
        {"/queryTerminalSeq", R"({"result":1,"success":true,"msg":"查询成功","index":0,)"},
        {"/revokeTerminalSeq", R"({"result":1,"success":true,"msg":"撤销成功",)"},
        {"/queryTerminalSum", "sum"},
        {"/queryOrderMenu", "menu"},
        {"/confirmOrderMenu", "confirm"},
        {"/uploadRecords/uploadFaceImage", R"({"result":1,"success":true,"msg":"接收成功"})"},
    };
    for (const auto& route : routes) {
        FakeServerWindow window;
        window.memos = {{ServiceMemo::mmqueryTerminalSum, "sum"},
                        {ServiceMemo::mmqueryOrderMenu, "menu"},
                        {ServiceMemo::mmconfirmOrderMenu, "confirm"}};
        const ServerReply reply = dispatch(window, route.target, "{}");
        EXPECT_EQ(reply.status, 200) << route.target;
        EXPECT_EQ(reply.contentType, "application/json");
        EXPECT_TRUE(reply.body.startsWith(route.reply)) << route.target << " " << reply.body.constData();
        EXPECT_EQ(window.linesOf(LogPane::mmoLog).value(0), QString::fromLatin1(route.target));
        EXPECT_EQ(window.linesOf(LogPane::mmMsg), QStringList{QString::fromUtf8(reply.body)});
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
    EXPECT_EQ(served.exchange(getRequest("/x/getTask/uploadTaskResults")),
              "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(served.window.linesOf(LogPane::mmoLog), (QStringList{"/x", "/x/getTask/uploadTaskResults", ""}));
}
