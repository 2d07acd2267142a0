#pragma once

#include <QString>

// A pane lays out each line as one block, and a block of a few hundred KiB
// without breaks takes seconds to lay out on the window thread. Longer lines
// are therefore shown cut.
namespace LongLineCut {

// Longest line shown whole, in bytes of window text (GBK). Measured: a line of
// 8 KiB without breaks takes about 5 ms to lay out and paint, 64 KiB about
// 200 ms, and the cost grows faster than the length.
constexpr qsizetype kMaxLineBytes = 8 * 1024;

// The text with every line longer than kMaxLineBytes cut there and followed by
// a marker giving the number of bytes left out; shorter lines stay as they are.
QString shorten(const QString& text);

// What follows a cut line.
QString marker(qsizetype bytesLeftOut);

} // namespace LongLineCut
