#pragma once

#include <QByteArray>
#include <QString>

// How the traffic panel shows one side of an exchange.
namespace TrafficView {

// The head (start line and headers) and the body of an HTTP message.
struct Message
{
    QByteArray head;
    QByteArray body;
};
Message splitMessage(const QByteArray& bytes);

// A header's value from a message head, any letter case; empty when absent.
QByteArray headerValue(const QByteArray& head, const QByteArray& name);

// The bytes as text in "UTF-8" or "GBK", at most maxBytes of them.
QString asText(const QByteArray& bytes, const QString& encoding, qsizetype maxBytes);
// Sixteen bytes a line: offset, hex digits and the printable characters.
QString hexDump(const QByteArray& bytes, qsizetype maxBytes);
// The body indented when it is JSON; empty otherwise.
QString prettyJson(const QByteArray& body);
// The first picture the message carries: its whole body, or a file part of a
// multipart form; empty when there is none.
QByteArray pictureOf(const Message& message);

} // namespace TrafficView
