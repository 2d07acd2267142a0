#include "server/RequestDecoding.h"

#include "common/TextCodec.h"

namespace RequestDecoding {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray percentDecode(const QByteArray& text)
{
    QByteArray decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            decoded += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += c;
        }
    }
    return decoded;
}

QStringList decodeParams(const QByteArray& query)
{
    QStringList params;
    for (const QByteArray& piece : query.split('&')) {
        if (!piece.isEmpty())
            params += TextCodec::fromGbk(percentDecode(piece));
    }
    return params;
}

QString parameterListText(const QStringList& params)
{
    QString text;
    for (const QString& entry : params)
        text += entry + QStringLiteral("\r\n");
    return text;
}

ServerRequest makeRequest(const QByteArray& target, const QByteArray& contentType, qint64 contentLength,
                          const QByteArray& body)
{
    const qsizetype queryStart = target.indexOf('?');
    const QByteArray path = queryStart < 0 ? target : target.left(queryStart);
    const QByteArray query = queryStart < 0 ? QByteArray() : target.mid(queryStart + 1);

    ServerRequest request;
    request.document = TextCodec::fromGbk(percentDecode(path));
    request.body = body;
    request.contentType = QString::fromLatin1(contentType);
    request.contentLength = contentLength;
    const bool formBody = contentType.toLower() == "application/x-www-form-urlencoded";
    request.params = formBody ? decodeParams(body) + decodeParams(query) : decodeParams(query);
    return request;
}

} // namespace RequestDecoding
