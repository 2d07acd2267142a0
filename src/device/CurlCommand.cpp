#include "device/CurlCommand.h"

#include <QList>

namespace {

// Bash's $'...' quoting, which carries any byte: printable ASCII as it is, the
// rest (and the quote and backslash themselves) as \xHH.
QString shellQuoted(const QByteArray& bytes)
{
    static const char digits[] = "0123456789abcdef";
    QByteArray quoted = "$'";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\'' && c != '\\') {
            quoted += c;
        } else {
            quoted += "\\x";
            quoted += digits[byte >> 4];
            quoted += digits[byte & 0x0F];
        }
    }
    return QString::fromLatin1(quoted + '\'');
}

// A printf format that prints the bytes exactly, NUL bytes included.
QString printfFormat(const QByteArray& bytes)
{
    static const char digits[] = "0123456789abcdef";
    QByteArray format = "'";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%') {
            format += "%%";
        } else if (byte >= 0x20 && byte < 0x7F && c != '\'' && c != '\\') {
            format += c;
        } else {
            format += "\\x";
            format += digits[byte >> 4];
            format += digits[byte & 0x0F];
        }
    }
    return QString::fromLatin1(format + '\'');
}

} // namespace

QString CurlCommand(const QByteArray& rawRequest)
{
    const qsizetype headerEnd = rawRequest.indexOf("\r\n\r\n");
    const QByteArray head = headerEnd < 0 ? rawRequest : rawRequest.left(headerEnd);
    const QByteArray body = headerEnd < 0 ? QByteArray() : rawRequest.mid(headerEnd + 4);
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> requestLine = lines.value(0).split(' ');
    const QByteArray method = requestLine.value(0);
    const QByteArray target = requestLine.value(1);
    const QByteArray version = requestLine.value(2);

    QByteArray host;
    QStringList headers;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].toLower().startsWith("host:"))
            host = lines[i].mid(5).trimmed();
        headers << QStringLiteral("-H ") + shellQuoted(lines[i]);
    }

    QStringList words{QStringLiteral("curl"), QStringLiteral("--silent"), QStringLiteral("--show-error"),
                      QStringLiteral("--path-as-is"),
                      version == "HTTP/1.0" ? QStringLiteral("--http1.0") : QStringLiteral("--http1.1"),
                      QStringLiteral("-X"), QString::fromLatin1(method)};
    words << headers;
    // Without this curl would add its own header to a large body.
    words << QStringLiteral("-H ") + shellQuoted("Expect:");
    const bool sendsBody = method != "GET" || !body.isEmpty();
    // The body comes through a pipe, so that no byte of it is read as an option.
    if (sendsBody)
        words << QStringLiteral("--data-binary @-");
    words << shellQuoted("http://" + host + target);
    const QString command = words.join(QLatin1Char(' '));
    return sendsBody ? QStringLiteral("printf ") + printfFormat(body) + QStringLiteral(" | ") + command : command;
}
