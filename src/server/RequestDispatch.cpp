#include "server/RequestDispatch.h"

#include "common/TextCodec.h"
#include "server/AccountTrade.h"
#include "server/ConsumptionTasks.h"
#include "server/EventCallbacks.h"
#include "server/PhotoUpload.h"
#include "server/RecordReplies.h"
#include "server/RouteTable.h"

#include <exception>

namespace {

ServerReply runRoute(Route route, const ServerRequest& request, ServerWindow& window)
{
    switch (route) {
    case Route::Attendance:
        return EventCallbacks::attendance(request, window);
    case Route::QrCodeCallback:
        return EventCallbacks::qrCodeCallback(request, window);
    case Route::HeartBeat:
        return EventCallbacks::heartBeat(request, window);
    case Route::GetTask:
        return ConsumptionTasks::getTask(request, window);
    case Route::UploadTaskResults:
        return ConsumptionTasks::uploadTaskResults(request, window);
    case Route::QueryAccount:
        return AccountTrade::queryAccount(request, window);
    case Route::OnlineTrade:
        return AccountTrade::onlineTrade(request, window);
    case Route::QueryTerminalSeq:
        return RecordReplies::queryTerminalSeq(request, window);
    case Route::RevokeTerminalSeq:
        return RecordReplies::revokeTerminalSeq(request, window);
    case Route::QueryTerminalSum:
        return RecordReplies::queryTerminalSum(request, window);
    case Route::QueryOrderMenu:
        return RecordReplies::queryOrderMenu(request, window);
    case Route::ConfirmOrderMenu:
        return RecordReplies::confirmOrderMenu(request, window);
    case Route::UploadRecords:
        return RecordReplies::uploadRecords(request, window);
    case Route::UploadFaceImage:
        return PhotoUpload::uploadFaceImage(request, window);
    }
    return {};
}

} // namespace

ServerReply HTTPServerCommandGet(const ServerRequest& request, ServerWindow& window)
{
    window.appendLine(LogPane::mmoLog, request.document);
    const std::optional<Route> route = findRoute(request.document);
    if (!route)
        return {};
    try {
        return runRoute(*route, request, window);
    } catch (const std::exception& error) {
        ServerReply failed;
        failed.status = 500;
        failed.body = error.what();
        return failed;
    }
}

void SendJsonReply(ServerReply& reply, ServerWindow& window, const QString& text)
{
    reply.status = 200;
    reply.contentType = QStringLiteral("application/json");
    reply.body = TextCodec::toUtf8(text);
    window.appendLine(LogPane::mmMsg, text);
}
