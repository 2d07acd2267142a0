#include "device/QueryValue.h"

#include "common/TextCodec.h"

namespace {

bool needsEncoding(unsigned char byte)
{
    switch (byte) {
    case ' ':
    case '#':
    case '&':
    case '%':
    case '+':
    case '=':
    case '?':
    case '\\':
        return true;
    default:
        return byte < 0x20 || byte >= 0x7F;
    }
}

} // namespace

QString QueryValue(const QString& text)
{
    static const char digits[] = "0123456789ABCDEF";
    const QByteArray bytes = TextCodec::toGbk(text);
    QByteArray out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsEncoding(byte)) {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return QString::fromLatin1(out);
}
