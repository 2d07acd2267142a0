#pragma once

#include "common/TrafficRecord.h"

#include <QList>

#include <atomic>
#include <deque>
#include <mutex>

// The newest exchanges of both roles, kept up to a budget of the memory they
// take. Filled from
// the threads where the bytes are (the HTTP client's, the server's connection
// threads, the FTP fetch) and read in batches by the window; every call is
// thread-safe and short.
class TrafficLog
{
public:
    // Minutes of a busy site's callbacks, hundreds of face registrations,
    // and a bound that a tool left running for days can afford.
    static constexpr qint64 kDefaultBudget = qint64(16) << 20;

    explicit TrafficLog(qint64 budgetBytes = kDefaultBudget);

    // A new budget, the oldest records dropped at once when they exceed it.
    void setBudget(qint64 budgetBytes);

    // Off, add() keeps nothing; capture points ask first and skip the copies.
    bool enabled() const { return enabled_.load(std::memory_order_relaxed); }
    void setEnabled(bool enabled) { enabled_.store(enabled, std::memory_order_relaxed); }

    // The most one side of a record keeps: a tenth of the budget.
    qint64 sideLimit() const { return budget_.load(std::memory_order_relaxed) / 10; }
    // Cuts bytes that exceed sideLimit() and marks the cut.
    QByteArray keepable(const QByteArray& bytes, qint64 fullSize) const;

    // Stores the record with the next id, cutting a side larger than sideLimit()
    // and dropping the oldest records, whole, until the rest fits the budget.
    quint64 add(TrafficRecord record);

    // Records with an id above `after`, oldest first.
    QList<TrafficRecord> since(quint64 after) const;
    // The record with that id, if it is still kept.
    bool find(quint64 id, TrafficRecord& record) const;
    // The lowest id still kept (the next id when the log is empty).
    quint64 oldestId() const;
    qint64 keptBytes() const;
    int size() const;
    void clear();

private:
    // Called with the mutex held.
    void dropOldest();

    std::atomic<qint64> budget_;
    std::atomic<bool> enabled_{true};
    mutable std::mutex mutex_;
    std::deque<TrafficRecord> records_;
    qint64 kept_ = 0;
    quint64 nextId_ = 1;
};

// The mark put after a side that was cut to the budget's tenth.
QByteArray trafficCutMark(qint64 leftOut);
