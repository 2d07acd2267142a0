#include "common/LogFileWriter.h"

#include "common/LogFileLine.h"
#include "common/LogRetention.h"

#include <QDateTime>

namespace {

// How long handed-over lines wait at most before the writer takes them, and
// how many make it take them sooner.
constexpr auto kWritePeriod = std::chrono::milliseconds(200);
constexpr std::size_t kTakeAtLines = 8192;
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
        handedOver.push_back({now, pane, text});
        full = handedOver.size() == kTakeAtLines;
    }
    if (full)
        wake.notify_one();
}

void LogFileWriter::run()
{
    QDate pruned = QDate::currentDate();
    pruneFor(pruned);
    std::vector<Entry> taken;
    for (bool last = false; !last;) {
        {
            std::unique_lock lock(mutex);
            wake.wait_for(lock, kWritePeriod,
                          [this] { return stopping || handedOver.size() >= kTakeAtLines; });
            taken.swap(handedOver);
            last = stopping;
        }
        take(taken);
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

QByteArray LogFileWriter::stampOf(qint64 msecs, QDate& day)
{
    // The local time is worked out once a second; the milliseconds are added.
    if (msecs / 1000 != stampSecond) {
        stampSecond = msecs / 1000;
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(stampSecond * 1000);
        stampDay = local.date();
        stampText = local.time().toString(QStringLiteral("HH:mm:ss.")).toLatin1();
    }
    day = stampDay;
    return stampText + QByteArray::number(1000 + msecs % 1000).mid(1);
}

void LogFileWriter::take(const std::vector<Entry>& entries)
{
    Chunk chunk;
    qint64 lines = 0;
    for (const Entry& entry : entries) {
        QDate day;
        const QByteArray stamp = stampOf(entry.msecs, day);
        if (day != chunk.day && lines > 0) {
            keep(std::move(chunk), lines);
            chunk = Chunk();
            lines = 0;
        }
        chunk.day = day;
        if (entry.pane != lastPane) {
            lastPane = entry.pane;
            lastPaneBytes = entry.pane.toUtf8();
        }
        LogFileLine::append(chunk.bytes, stamp, lastPaneBytes, entry.text);
        ++lines;
    }
    if (lines > 0)
        keep(std::move(chunk), lines);
}

void LogFileWriter::keep(Chunk chunk, qint64 lines)
{
    if (waitingBytes + chunk.bytes.size() <= kMaxWaitingBytes) {
        waitingBytes += chunk.bytes.size();
        waiting.push_back(std::move(chunk));
        return;
    }
    // The disk has failed for long: later lines are counted instead of kept.
    if (waiting.empty() || waiting.back().lost == 0)
        waiting.push_back({chunk.day, {}, 0, QDateTime::currentMSecsSinceEpoch()});
    waiting.back().lost += lines;
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
