#include "common/LogFileWriter.h"

#include "common/LogFileLine.h"
#include "common/LogRetention.h"

#include <QDateTime>

#include <cstring>

namespace {

// How long handed-over lines wait at most before the writer takes them, and
// how many bytes of them make it take them sooner; a hand-over buffer holds
// about that many.
constexpr auto kWritePeriod = std::chrono::milliseconds(200);
constexpr qsizetype kTakeAtBytes = qsizetype(1) << 20;
// Room for a buffer's last line, and how many buffers are kept for later.
constexpr qsizetype kChunkRoom = kTakeAtBytes + (qsizetype(64) << 10);
constexpr std::size_t kSpareChunks = 2;
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
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    bool full = false;
    {
        const std::lock_guard lock(mutex);
        const Record record{now, paneNumber(pane), text.size()};
        if (handedOver.empty() || handedOver.back().size() >= kTakeAtBytes) {
            handedOver.emplace_back();
            if (spare.empty()) {
                handedOver.back().reserve(kChunkRoom);
            } else {
                handedOver.back() = std::move(spare.back());
                spare.pop_back();
            }
        }
        QByteArray& records = handedOver.back();
        records.append(reinterpret_cast<const char*>(&record), sizeof record);
        records.append(reinterpret_cast<const char*>(text.constData()), text.size() * qsizetype(sizeof(QChar)));
        full = handedOver.size() == 1 && records.size() >= kTakeAtBytes;
    }
    if (full)
        wake.notify_one();
}

qint64 LogFileWriter::paneNumber(const QString& pane)
{
    if (lastPane >= 0 && paneNames.at(lastPane) == pane)
        return lastPane;
    lastPane = paneNames.indexOf(pane);
    if (lastPane < 0) {
        lastPane = paneNames.size();
        paneNames.append(pane);
        paneBytes.append(pane.toUtf8());
    }
    return lastPane;
}

bool LogFileWriter::takeSoon() const
{
    return handedOver.size() > 1 || (!handedOver.empty() && handedOver.back().size() >= kTakeAtBytes);
}

void LogFileWriter::run()
{
    QDate pruned = QDate::currentDate();
    pruneFor(pruned);
    std::vector<QByteArray> taken;
    QList<QByteArray> panes;
    for (bool last = false; !last;) {
        {
            std::unique_lock lock(mutex);
            wake.wait_for(lock, kWritePeriod, [this] { return stopping || takeSoon(); });
            taken.swap(handedOver);
            panes = paneBytes;
            last = stopping;
        }
        for (QByteArray& records : taken) {
            take(records, panes);
            // Each buffer is written before the next is formatted: many taken at
            // once must not look like a disk that failed for long.
            writeWaiting();
            records.resize(0);
            const std::lock_guard lock(mutex);
            if (spare.size() < kSpareChunks && records.capacity() <= 2 * kChunkRoom)
                spare.push_back(std::move(records));
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

void LogFileWriter::take(const QByteArray& records, const QList<QByteArray>& panes)
{
    Chunk chunk;
    // The file form is about as long as the records, which hold two bytes a
    // character.
    chunk.bytes.swap(spareBytes);
    chunk.bytes.reserve(records.size());
    for (qsizetype at = 0; at < records.size();) {
        Record record;
        std::memcpy(&record, records.constData() + at, sizeof record);
        at += sizeof record;
        // Records and their texts are whole numbers of characters long, so
        // every text starts aligned for them.
        const QStringView text(reinterpret_cast<const QChar*>(records.constData() + at), record.chars);
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
