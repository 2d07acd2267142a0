#pragma once

#include <QStringView>

// How a log pane and its file take a text apart into lines: at "\r\n", "\n",
// "\r" and U+2029, where a plain text edit starts a block.
namespace TextLines {

inline bool endsLine(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

// Calls `each` with every line of `text`, in order; a text without a break is
// one line.
template <typename Each> void forEach(QStringView text, Each&& each)
{
    // Most texts are one line; these looks cost a fraction of the loop below.
    if (!text.contains(u'\n') && !text.contains(u'\r') && !text.contains(QChar::ParagraphSeparator)) {
        each(text);
        return;
    }
    qsizetype start = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!endsLine(text.at(at)))
            continue;
        each(text.mid(start, at - start));
        // "\r\n" is one break.
        if (text.at(at) == u'\r' && at + 1 < text.size() && text.at(at + 1) == u'\n')
            ++at;
        start = at + 1;
    }
    each(text.mid(start));
}

} // namespace TextLines
