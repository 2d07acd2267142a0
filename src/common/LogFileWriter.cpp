#include "common/LogFileWriter.h"

#include "common/LogFileLine.h"
#include "common/LogRetention.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>

namespace {

// How long handed-over lines wait at most before the writer takes them,
// unless a hand-over buffer fills sooner; what a buffer holds, unless one line
// needs more; and how many buffers are kept for later.
constexpr auto kWritePeriod = std::chrono::milliseconds(200);
constexpr qsizetype kHandOverBytes = qsizetype(1) << 20;
constexpr std::size_t kSpareHandOvers = 2;
// The most that waits in memory while the disk fails.
constexpr qint64 kMaxWaitingBytes = qint64(16) << 20;

} // namespace

LogFileWriter::LogFileWriter(QString folder, Limits limits, FailureReport report)
    : folder_(std::move(folder)), limits(limits), report(std::move(report)), failure(limits.retryAfter)
{
    thread = std::thread([this] { run(); });
}

LogFileWriter::~LogFileWriter()
{
    {
        const std::lock_guard lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    thread.join();
}

void LogFileWriter::append(const QString& pane, const QString& text)
{
    const Record record{clock.msecsSinceEpoch(), paneNumber(pane), text.size()};
    const qsizetype bytes = qsizetype(sizeof record) + text.size() * qsizetype(sizeof(QChar));
    HandOver* buffer = open;
    qsizetype at = buffer ? buffer->filled.load(std::memory_order_relaxed) : 0;
    if (!buffer || at + bytes > buffer->capacity) {
        buffer = &openRoomFor(bytes);
        at = 0;
    }
    std::memcpy(buffer->bytes.get() + at, &record, sizeof record);
    std::memcpy(buffer->bytes.get() + at + sizeof record, text.constData(), bytes - sizeof record);
    // The writer reads no further than this, and sees all of it.
    buffer->filled.store(at + bytes, std::memory_order_release);
}

LogFileWriter::HandOver& LogFileWriter::openRoomFor(qsizetype bytes)
{
    bool full = false;
    {
        const std::lock_guard lock(mutex);
        std::unique_ptr<HandOver> buffer;
        if (!spare.empty() && spare.back()->capacity >= bytes) {
            buffer = std::move(spare.back());
            spare.pop_back();
            buffer->filled.store(0, std::memory_order_relaxed);
            buffer->taken = 0;
        } else {
            buffer = std::make_unique<HandOver>(std::max(kHandOverBytes, bytes));
        }
        open = buffer.get();
        handedOver.push_back(std::move(buffer));
        full = handedOver.size() > 1;
    }
    // A full buffer waits: the writer takes it now, not at its next round.
    if (full)
        wake.notify_one();
    return *open;
}

qint64 LogFileWriter::paneNumber(const QString& pane)
{
    if (lastPane >= 0 && paneNames.at(lastPane) == pane)
        return lastPane;
    lastPane = paneNames.indexOf(pane);
    if (lastPane < 0) {
        lastPane = paneNames.size();
        paneNames.append(pane);
        const std::lock_guard lock(mutex);
        paneBytes.append(pane.toUtf8());
    }
    return lastPane;
}

void LogFileWriter::run()
{
    QDate pruned = QDate::currentDate();
    pruneFor(pruned);
    struct Taken
    {
        HandOver* buffer;
        qsizetype filled;
    };
    std::vector<Taken> taken;
    QList<QByteArray> panes;
    for (bool last = false; !last;) {
        {
            std::unique_lock lock(mutex);
            wake.wait_for(lock, kWritePeriod, [this] { return stopping || handedOver.size() > 1; });
            // How far each buffer is filled is read here, so that every pane a
            // record names is among the names read with it.
            for (const std::unique_ptr<HandOver>& buffer : handedOver)
                taken.push_back({buffer.get(), buffer->filled.load(std::memory_order_acquire)});
            panes = paneBytes;
            last = stopping;
        }
        for (const Taken& next : taken) {
            HandOver& buffer = *next.buffer;
            if (next.filled > buffer.taken) {
                take(buffer.bytes.get() + buffer.taken, next.filled - buffer.taken, panes);
                buffer.taken = next.filled;
                // Each buffer is written before the next is formatted: many taken
                // at once must not look like a disk that failed for long.
                writeWaiting();
            }
        }
        {
            // All but the last were full when read, and are done with.
            const std::lock_guard lock(mutex);
            for (std::size_t done = 1; done < taken.size(); ++done) {
                if (spare.size() < kSpareHandOvers && handedOver.front()->capacity <= kHandOverBytes)
                    spare.push_back(std::move(handedOver.front()));
                handedOver.pop_front();
            }
        }
        taken.clear();
        // At midnight the day's first pass removes what has grown too old.
        const QDate today = QDate::currentDate();
        if (today != pruned) {
            pruned = today;
            pruneFor(today);
        }
        writeWaiting();
    }
}

void LogFileWriter::take(const char* records, qsizetype size, const QList<QByteArray>& panes)
{
    Chunk chunk;
    // The file form is about as long as the records, which hold two bytes a
    // character.
    chunk.bytes.swap(spareBytes);
    chunk.bytes.reserve(size);
    for (qsizetype at = 0; at < size;) {
        Record record;
        std::memcpy(&record, records + at, sizeof record);
        at += sizeof record;
        // Records and their texts are whole numbers of characters long, so
        // every text starts aligned for them.
        const QStringView text(reinterpret_cast<const QChar*>(records + at), record.chars);
        at += record.chars * qsizetype(sizeof(QChar));
        QDate day;
        const QByteArray& time = stampOf(record.msecs, day);
        if (day != chunk.day && chunk.lines > 0) {
            keep(std::move(chunk));
            chunk = Chunk();
        }
        chunk.day = day;
        LogFileLine::append(chunk.bytes, time, panes.at(record.pane), text);
        ++chunk.lines;
    }
    if (chunk.lines > 0)
        keep(std::move(chunk));
}

const QByteArray& LogFileWriter::stampOf(qint64 msecs, QDate& day)
{
    // The local time is worked out once a second; the milliseconds are set.
    if (msecs / 1000 != stampSecond) {
        stampSecond = msecs / 1000;
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(stampSecond * 1000);
        stampDay = local.date();
        stamp = local.time().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
    }
    const int millis = int(msecs % 1000);
    stamp[9] = char('0' + millis / 100);
    stamp[10] = char('0' + millis / 10 % 10);
    stamp[11] = char('0' + millis % 10);
    day = stampDay;
    return stamp;
}

void LogFileWriter::keep(Chunk chunk)
{
    if (waitingBytes + chunk.bytes.size() <= kMaxWaitingBytes) {
        waitingBytes += chunk.bytes.size();
        waiting.push_back(std::move(chunk));
        return;
    }
    // The disk has failed for long: later lines are counted instead of kept.
    if (waiting.empty() || waiting.back().lost == 0)
        waiting.push_back({chunk.day, {}, 0, 0, QDateTime::currentMSecsSinceEpoch()});
    waiting.back().lost += chunk.lines;
}

void LogFileWriter::writeWaiting()
{
    while (!waiting.empty() && failure.mayTry(std::chrono::steady_clock::now())) {
        const Chunk& chunk = waiting.front();
        if (!writeChunk(chunk)) {
            if (failure.failed(std::chrono::steady_clock::now()) && report)
                report(file.errorText());
            return;
        }
        failure.succeeded();
        waitingBytes -= chunk.bytes.size();
        // Kept for the next chunk: a fresh buffer costs a page fault for
        // every page written.
        spareBytes = std::move(waiting.front().bytes);
        spareBytes.resize(0);
        waiting.pop_front();
    }
}

bool LogFileWriter::writeChunk(const Chunk& chunk)
{
    if (!file.isOpen() || file.day() != chunk.day) {
        if (!file.open(folder_, chunk.day))
            return false;
    }
    QByteArray bytes = chunk.bytes;
    if (chunk.lost > 0) {
        QDate day;
        LogFileLine::append(bytes, stampOf(chunk.lostAtMsecs, day), "log",
                            QString::fromUtf8("…… 磁盘无法写入时有 %1 行未能写入日志文件").arg(chunk.lost));
    }
    // The size cap holds as the file grows, not only at start and at midnight.
    if (keptBytes + bytes.size() > limits.maxBytes && keptOthers > 0) {
        const LogRetention::Kept kept =
            LogRetention::prune(folder_, QDate::currentDate(), limits.keepDays,
                                limits.maxBytes - bytes.size(), LogDayFile::nameOf(file.day()));
        keptBytes = kept.bytes;
        keptOthers = kept.others;
    }
    if (!file.write(bytes)) {
        file.close();
        return false;
    }
    keptBytes += bytes.size();
    return true;
}

void LogFileWriter::pruneFor(QDate today)
{
    const LogRetention::Kept kept =
        LogRetention::prune(folder_, today, limits.keepDays, limits.maxBytes, LogDayFile::nameOf(today));
    keptBytes = kept.bytes;
    keptOthers = kept.others;
}
