#include "app/LogLines.h"

#include <algorithm>

namespace {

// Few enough chunks for a pane that finding a line is quick, small enough that
// the memory a pane holds beyond its lines does not matter.
constexpr qsizetype kChunkBytes = 256 * 1024;

} // namespace

void LogLines::setMaxLines(qsizetype lines)
{
    maxLines = lines;
    trim();
}

void LogLines::append(QStringView line)
{
    // Each line is followed by a line feed, so that a chunk's lines decode to
    // the joined text in one go.
    Chunk& chunk = chunkFor(encoder.requiredSpace(line.size()) + 1);
    char* begin = chunk.bytes.get() + chunk.used;
    char* end = encoder.appendToBuffer(begin, line);
    *end++ = '\n';
    chunk.used += end - begin;
    chunk.ends.push_back(quint32(chunk.used));
    ++count;
    ++nextSerial;
    trim();
}

void LogLines::clear()
{
    chunks.clear();
    dropped = 0;
    count = 0;
}

QString LogLines::at(qsizetype index) const
{
    const qint64 serial = firstSerial() + index;
    const Chunk& chunk = chunkOf(serial);
    return lineOf(chunk, qsizetype(serial - chunk.firstSerial));
}

QString LogLines::joined() const
{
    QString text;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const Chunk& chunk = chunks[i];
        const qsizetype from = (i == 0 && dropped > 0) ? chunk.ends[dropped - 1] : 0;
        text += QString::fromUtf8(chunk.bytes.get() + from, chunk.used - from);
    }
    text.chop(1);
    return text;
}

const LogLines::Chunk& LogLines::chunkOf(qint64 serial) const
{
    const auto after = std::upper_bound(chunks.begin(), chunks.end(), serial,
                                        [](qint64 s, const Chunk& chunk) { return s < chunk.firstSerial; });
    return *std::prev(after);
}

QString LogLines::lineOf(const Chunk& chunk, qsizetype index)
{
    const qsizetype from = index == 0 ? 0 : chunk.ends[index - 1];
    return QString::fromUtf8(chunk.bytes.get() + from, chunk.ends[index] - from - 1);
}

LogLines::Chunk& LogLines::chunkFor(qsizetype bytes)
{
    if (!chunks.empty() && chunks.back().capacity - chunks.back().used >= bytes)
        return chunks.back();
    Chunk chunk;
    if (spare.capacity >= bytes) {
        chunk = std::move(spare);
        spare = Chunk{};
        chunk.used = 0;
        chunk.ends.clear();
    } else {
        chunk.capacity = std::max(kChunkBytes, bytes);
        // Left uninitialised: pages that are never written cost no memory.
        chunk.bytes.reset(new char[chunk.capacity]);
    }
    chunk.firstSerial = nextSerial;
    chunks.push_back(std::move(chunk));
    return chunks.back();
}

void LogLines::trim()
{
    if (maxLines <= 0)
        return;
    while (count > maxLines) {
        Chunk& front = chunks.front();
        const qsizetype left = qsizetype(front.ends.size()) - dropped;
        const qsizetype drop = std::min(count - maxLines, left);
        dropped += drop;
        count -= drop;
        if (drop == left) {
            spare = std::move(front);
            chunks.pop_front();
            dropped = 0;
        }
    }
}
