#include "common/LogFileLine.h"

namespace LogFileLine {

namespace {

bool endsLine(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

void appendOne(QByteArray& to, const QByteArray& prefix, QStringView text)
{
    to += prefix;
    // No character takes more than three bytes in UTF-8, so short texts need no look.
    if (text.size() * 3 <= kMaxTextBytes) {
        to += text.toUtf8();
    } else {
        const QByteArray bytes = text.toUtf8();
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

void append(QByteArray& to, const QByteArray& stamp, const QByteArray& pane, const QString& text)
{
    const QByteArray prefix = stamp + ' ' + pane + ' ';
    qsizetype start = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!endsLine(text.at(at)))
            continue;
        appendOne(to, prefix, QStringView(text).mid(start, at - start));
        // "\r\n" is one break, as the pane takes it.
        if (text.at(at) == QLatin1Char('\r') && at + 1 < text.size() && text.at(at + 1) == QLatin1Char('\n'))
            ++at;
        start = at + 1;
    }
    appendOne(to, prefix, QStringView(text).mid(start));
}

} // namespace LogFileLine
