#include "server/ReplyFraming.h"

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    default:
        return "Unknown";
    }
}

} // namespace

QByteArray frameReply(const ServerReply& reply, bool headRequest)
{
    QByteArray bytes =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    bytes += "Content-Type: " + reply.contentType.toLatin1() + "\r\n";
    if (!reply.body.isEmpty())
        bytes += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    if (reply.retryAfterSeconds > 0)
        bytes += "Retry-After: " + QByteArray::number(reply.retryAfterSeconds) + "\r\n";
    bytes += "Connection: close\r\n\r\n";
    if (!headRequest)
        bytes += reply.body;
    return bytes;
}
