#include "app/LongLineCut.h"

#include "common/TextLines.h"

namespace LongLineCut {

namespace {

// Bytes of a character in window text: GBK gives ASCII one byte and the
// characters it has two; what it lacks (a surrogate pair, the replacement
// character of undecodable bytes) becomes one '?'. Counted here rather than
// encoded, since a cut line may be megabytes long.
qsizetype bytesOf(QChar c)
{
    if (c.unicode() < 0x80 || c.isLowSurrogate() || c == QChar::ReplacementCharacter)
        return 1;
    return c.isHighSurrogate() ? 0 : 2;
}

} // namespace

QString marker(qsizetype bytesLeftOut)
{
    return QString::fromUtf8("……（此行过长，其余 %1 字节未显示）").arg(bytesLeftOut);
}

QString shorten(const QString& text)
{
    // No character takes more than two bytes, so short texts need no look.
    if (text.size() <= kMaxLineBytes / 2)
        return text;

    QString shown;
    qsizetype copiedUpTo = 0;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = lineStart;
        qsizetype bytes = 0;
        qsizetype cut = -1;
        qsizetype shownBytes = 0;
        for (; lineEnd < text.size() && !TextLines::endsLine(text.at(lineEnd)); ++lineEnd) {
            const qsizetype next = bytes + bytesOf(text.at(lineEnd));
            if (cut < 0 && next > kMaxLineBytes) {
                cut = lineEnd;
                shownBytes = bytes;
            }
            bytes = next;
        }
        if (cut >= 0) {
            // A surrogate pair goes whole to the part left out; its first half
            // counts no bytes of its own.
            if (text.at(cut).isLowSurrogate())
                --cut;
            shown += QStringView(text).mid(copiedUpTo, cut - copiedUpTo);
            shown += marker(bytes - shownBytes);
            copiedUpTo = lineEnd;
        }
        lineStart = lineEnd + 1;
    }
    if (copiedUpTo == 0)
        return text;
    shown += QStringView(text).mid(copiedUpTo);
    return shown;
}

} // namespace LongLineCut
