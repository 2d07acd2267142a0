#include "server/RequestDispatch.h"

#include "common/TextCodec.h"
#include "server/EventCallbacks.h"
#include "server/PhotoUpload.h"
#include "server/RouteTable.h"

#include <exception>

namespace {

// Routes whose replies are not built yet say so instead of pretending to work.
ServerReply notImplemented()
{
    ServerReply reply;
    reply.status = 501;
    reply.body = "not implemented yet";
    return reply;
}

ServerReply runRoute(Route route, const ServerRequest& request, ServerWindow& window)
{
    switch (route) {
    case Route::Attendance:
        return EventCallbacks::attendance(request, window);
    case Route::QrCodeCallback:
        return EventCallbacks::qrCodeCallback(request, window);
    case Route::HeartBeat:
        return EventCallbacks::heartBeat(request, window);
    case Route::UploadFaceImage:
        return PhotoUpload::uploadFaceImage(request, window);
    default:
        return notImplemented();
    }
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
