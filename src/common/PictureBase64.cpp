#include "common/PictureBase64.h"

#include <algorithm>

namespace {

constexpr qsizetype kLineLength = 76;

} // namespace

QString toBase64Lines(const QByteArray& bytes)
{
    const QByteArray encoded = bytes.toBase64();
    QByteArray lines;
    lines.reserve(encoded.size() + encoded.size() / kLineLength * 2);
    for (qsizetype at = 0; at < encoded.size(); at += kLineLength) {
        const qsizetype length = std::min(kLineLength, encoded.size() - at);
        lines.append(encoded.constData() + at, length);
        if (length == kLineLength)
            lines.append("\r\n");
    }
    return QString::fromLatin1(lines);
}

QString PictureToBase64(const Picture& picture)
{
    return toBase64Lines(picture.bytes());
}
