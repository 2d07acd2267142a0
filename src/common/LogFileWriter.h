#pragma once

#include "common/LogDayFile.h"
#include "common/LogWriteFailure.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Writes the log panes' lines into the day's file of a logs folder on a thread
// of its own, so that the window thread only hands them over: each line is
// copied, with its moment and pane, into a buffer the writer takes whole. Lines reach the
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

    // Any thread; the line is stamped with the time of the call.
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

    void run();
    bool takeSoon() const;
    qint64 paneNumber(const QString& pane);
    void take(const QByteArray& records, const QList<QByteArray>& panes);
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
    std::vector<QByteArray> handedOver;
    bool stopping = false;
    // The panes' names, as records number them, in UTF-8.
    QStringList paneNames;
    QList<QByteArray> paneBytes;
    qint64 lastPane = -1;
    // Hand-over buffers the writer is done with, kept for new ones: a fresh
    // buffer costs a page fault for every page the callers fill.
    std::vector<QByteArray> spare;

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
