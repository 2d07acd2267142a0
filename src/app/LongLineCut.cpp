#include "app/LongLineCut.h"

#include "common/TextCodec.h"

namespace LongLineCut {

namespace {

// The characters at which a pane starts a new block.
bool endsBlock(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

// GBK gives ASCII one byte and every other character two (or one '?').
qsizetype bytesOf(QChar c)
{
    return c.unicode() < 0x80 ? 1 : 2;
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
        for (; lineEnd < text.size() && !endsBlock(text.at(lineEnd)); ++lineEnd) {
            bytes += bytesOf(text.at(lineEnd));
            if (cut < 0 && bytes > kMaxLineBytes)
                cut = lineEnd;
        }
        if (cut >= 0) {
            // A surrogate pair stays whole on the shown side.
            if (text.at(cut).isLowSurrogate())
                --cut;
            shown += QStringView(text).mid(copiedUpTo, cut - copiedUpTo);
            shown += marker(TextCodec::toGbk(text.mid(cut, lineEnd - cut)).size());
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
