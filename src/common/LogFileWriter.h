#pragma once

#include "common/LineClock.h"
#include "common/LogDayFile.h"
#include "common/LogWriteFailure.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Writes the log panes' lines into the day's file of a logs folder on a thread
// of its own, so that the window thread only hands them over: each line is
// copied, with its moment and pane, into a buffer that the writer reads as far
// as the caller has filled it, without a lock for each line (on some machines a
// lock costs as much as the rest of the hand-over). Lines reach the
// file within a fraction of a second, in the order they were handed over, each
// whole (LogDayFile, LogFileLine); old and surplus files go at start and when
// the day changes (LogRetention). While the disk fails, the lines wait within a
// bound and the writer tries again now and then (LogWriteFailure); lines beyond
// the bound are counted in the file once it can be written again.
class LogFileWriter
{
public:
    struct Limits
    {
        int keepDays = 30;
        qint64 maxBytes = qint64(1) << 30;
        std::chrono::milliseconds retryAfter = std::chrono::minutes(1);
    };
    // Called on the writer's thread when writing starts to fail, with what failed.
    using FailureReport = std::function<void(const QString& error)>;

    LogFileWriter(QString folder, Limits limits, FailureReport report);
    // Writes what has been handed over, if it can, then ends the thread.
    ~LogFileWriter();
    LogFileWriter(const LogFileWriter&) = delete;
    LogFileWriter& operator=(const LogFileWriter&) = delete;

    const QString& folder() const { return folder_; }

    // From one thread at a time, the same or one that takes over after the last
    // is done; the line is stamped with the time of the call.
    void append(const QString& pane, const QString& text);

private:
    // `lines` lines of one day in file form, or, with `lost` above 0, the note
    // that so many lines could not be kept while the disk failed.
    struct Chunk
    {
        QDate day;
        QByteArray bytes;
        qint64 lines = 0;
        qint64 lost = 0;
        qint64 lostAtMsecs = 0;
    };

    // How a line stands in a hand-over buffer, followed by its UTF-16 text.
    struct Record
    {
        qint64 msecs;
        qint64 pane;
        qint64 chars;
    };

    // Records filled by the caller, which publishes how far they go; the writer
    // reads that far. Once the caller has gone on to a later buffer, it no
    // longer touches this one.
    struct HandOver
    {
        explicit HandOver(qsizetype capacity) : bytes(new char[capacity]), capacity(capacity) {}
        std::unique_ptr<char[]> bytes;
        const qsizetype capacity;
        std::atomic<qsizetype> filled{0};
        // The writer's own: how far it has read.
        qsizetype taken = 0;
    };

    void run();
    // The caller's: a buffer with room for `bytes` more, once the open one is full.
    HandOver& openRoomFor(qsizetype bytes);
    qint64 paneNumber(const QString& pane);
    void take(const char* records, qsizetype size, const QList<QByteArray>& panes);
    void keep(Chunk chunk);
    void writeWaiting();
    bool writeChunk(const Chunk& chunk);
    void pruneFor(QDate today);
    // "HH:mm:ss.zzz" in local time, and the day, of a moment.
    const QByteArray& stampOf(qint64 msecs, QDate& day);

    const QString folder_;
    const Limits limits;
    const FailureReport report;

    std::mutex mutex;
    std::condition_variable wake;
    // Oldest first; the caller fills the last.
    std::deque<std::unique_ptr<HandOver>> handedOver;
    bool stopping = false;
    // The panes' names, as records number them, in UTF-8; the names are the
    // caller's own, the bytes are shared with the writer.
    QStringList paneNames;
    QList<QByteArray> paneBytes;
    qint64 lastPane = -1;
    // Hand-over buffers the writer is done with, kept for new ones: a fresh
    // buffer costs a page fault for every page the callers fill.
    std::vector<std::unique_ptr<HandOver>> spare;
    // The caller's: the last of handedOver, which it fills, and the clock
    // that stamps its lines.
    HandOver* open = nullptr;
    LineClock clock;

    // The writer thread's own.
    std::deque<Chunk> waiting;
    QByteArray spareBytes;
    qint64 waitingBytes = 0;
    LogDayFile file;
    LogWriteFailure failure;
    qint64 keptBytes = 0;
    int keptOthers = 0;
    qint64 stampSecond = -1;
    QDate stampDay;
    QByteArray stamp;

    std::thread thread;
};
