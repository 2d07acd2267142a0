#include "common/LogFileLine.h"

#include "common/TextLines.h"

#include <QStringEncoder>

namespace LogFileLine {

namespace {

// Encoded in place: a buffer of its own would cost a line more than its
// encoding does. What UTF-16 cannot mean (a lone surrogate) becomes U+FFFD.
void appendUtf8(QByteArray& to, QStringView text)
{
    const qsizetype at = to.size();
    to.resize(at + text.size() * 3);
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    to.resize(utf8.appendToBuffer(to.data() + at, text) - to.constData());
}

void appendOne(QByteArray& to, const QByteArray& stamp, const QByteArray& pane, QStringView text)
{
    to += stamp;
    to += ' ';
    to += pane;
    to += ' ';
    // No character takes more than three bytes in UTF-8, so short texts need no look.
    if (text.size() * 3 <= kMaxTextBytes) {
        appendUtf8(to, text);
    } else {
        QByteArray bytes;
        appendUtf8(bytes, text);
        if (bytes.size() <= kMaxTextBytes) {
            to += bytes;
        } else {
            // Back to the first byte of a character, so that the file stays UTF-8.
            qsizetype cut = kMaxTextBytes;
            while (cut > 0 && (uchar(bytes.at(cut)) & 0xC0) == 0x80)
                --cut;
            to += QByteArrayView(bytes).first(cut);
            to += marker(bytes.size() - cut).toUtf8();
        }
    }
    to += '\n';
}

} // namespace

QString marker(qsizetype bytesLeftOut)
{
    return QString::fromUtf8("……（此行过长，其余 %1 字节未写入）").arg(bytesLeftOut);
}

void append(QByteArray& to, const QByteArray& stamp, const QByteArray& pane, QStringView text)
{
    TextLines::forEach(text, [&](QStringView line) { appendOne(to, stamp, pane, line); });
}

} // namespace LogFileLine
