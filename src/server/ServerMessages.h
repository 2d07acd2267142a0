#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What the request handler receives for one request.
struct ServerRequest
{
    // Percent-decoded path of the target, without the query string.
    QString document;
    // name=value entries: the query string's, or the form body's followed by them.
    QStringList params;
    // The body's bytes exactly as received.
    QByteArray body;
    // The Content-Type header as sent, empty when absent.
    QString contentType;
    // The Content-Length header's value, -1 when absent.
    qint64 contentLength = -1;
    // The address the request came from; no route reads it.
    QString remoteAddress;
};

// What the request handler fills; a handler that sets nothing answers an empty 200.
struct ServerReply
{
    int status = 200;
    QString contentType = QStringLiteral("text/html");
    QByteArray body;
    // Sent as "Retry-After" when above 0.
    int retryAfterSeconds = 0;
};
