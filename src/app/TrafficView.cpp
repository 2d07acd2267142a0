#include "app/TrafficView.h"

#include "common/TextCodec.h"
#include "server/MultipartForm.h"

#include <QList>
#include <nlohmann/json.hpp>

namespace TrafficView {

namespace {

QString cutNote(qsizetype shown, qsizetype all)
{
    return shown < all ? QStringLiteral("\n[... %1 more bytes not shown]").arg(all - shown) : QString();
}

bool isPicture(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\xD8\xFF") || bytes.startsWith("\x89PNG\r\n\x1A\n") || bytes.startsWith("GIF8") ||
           bytes.startsWith("BM");
}

} // namespace

Message splitMessage(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0)
        return {bytes, {}};
    return {bytes.left(end), bytes.mid(end + 4)};
}

QByteArray headerValue(const QByteArray& head, const QByteArray& name)
{
    const QByteArray wanted = name.toLower() + ':';
    for (const QByteArray& line : head.split('\n')) {
        if (line.toLower().startsWith(wanted))
            return line.mid(wanted.size()).trimmed();
    }
    return {};
}

QString asText(const QByteArray& bytes, const QString& encoding, qsizetype maxBytes)
{
    const QByteArray shown = bytes.left(maxBytes);
    const QString text = encoding == QLatin1String("GBK") ? TextCodec::fromGbk(shown) : QString::fromUtf8(shown);
    return text + cutNote(shown.size(), bytes.size());
}

QString hexDump(const QByteArray& bytes, qsizetype maxBytes)
{
    static const char digits[] = "0123456789ABCDEF";
    const qsizetype shown = std::min(bytes.size(), maxBytes);
    QByteArray dump;
    dump.reserve(shown * 4 + shown / 16 * 12);
    for (qsizetype line = 0; line < shown; line += 16) {
        dump += QByteArray::number(line, 16).rightJustified(8, '0') + "  ";
        QByteArray printable;
        for (qsizetype i = line; i < line + 16; ++i) {
            if (i < shown) {
                const auto byte = static_cast<unsigned char>(bytes[i]);
                dump += digits[byte >> 4];
                dump += digits[byte & 0x0F];
                dump += ' ';
                printable += byte >= 0x20 && byte < 0x7F ? char(byte) : '.';
            } else {
                dump += "   ";
            }
        }
        dump += ' ' + printable + '\n';
    }
    return QString::fromLatin1(dump) + cutNote(shown, bytes.size());
}

QString prettyJson(const QByteArray& body)
{
    const auto json = nlohmann::ordered_json::parse(body.begin(), body.end(), nullptr, false);
    if (json.is_discarded() || !json.is_structured())
        return {};
    return QString::fromStdString(json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

QByteArray pictureOf(const Message& message)
{
    if (isPicture(message.body))
        return message.body;
    const QByteArray boundary = MultipartForm::boundaryOf(headerValue(message.head, "Content-Type"));
    if (boundary.isEmpty())
        return {};
    for (const QByteArray& part : MultipartForm::fileParts(boundary, message.body, message.body.size())) {
        if (isPicture(part))
            return part;
    }
    return {};
}

} // namespace TrafficView
