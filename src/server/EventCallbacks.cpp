#include "server/EventCallbacks.h"

#include "common/TextCodec.h"
#include "server/RequestDecoding.h"

namespace EventCallbacks {

namespace {

ServerReply replyWith(const char* contentType, const QByteArray& body)
{
    ServerReply reply;
    reply.contentType = QString::fromLatin1(contentType);
    reply.body = body;
    return reply;
}

void logParameterList(const ServerRequest& request, ServerWindow& window)
{
    window.appendLine(LogPane::mmoLog, RequestDecoding::parameterListText(request.params));
}

} // namespace

ServerReply attendance(const ServerRequest& request, ServerWindow& window)
{
    logParameterList(request, window);
    return replyWith("text/html", R"({"result":1,"success":true})");
}

ServerReply qrCodeCallback(const ServerRequest& request, ServerWindow& window)
{
    logParameterList(request, window);
    const QString text = QString::fromUtf8(
        R"({"ttsModContent":"开门成功","displayModContent":"二维码识别成功","isOpenRelay":1})");
    return replyWith("text/html", TextCodec::toUtf8(text));
}

ServerReply heartBeat(const ServerRequest& request, ServerWindow& window)
{
    logParameterList(request, window);
    return replyWith("application/json", TextCodec::toUtf8(heartbeatReplyText(window.heartbeatFields())));
}

QString heartbeatReplyText(const HeartbeatFields& fields)
{
    if (fields.haveTask)
        return QStringLiteral(R"({"result": true})");
    if (fields.haveNoTask)
        return QStringLiteral(R"({"result": false})");
    return {};
}

} // namespace EventCallbacks
