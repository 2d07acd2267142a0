#include "common/TrafficLog.h"

#include <algorithm>

QByteArray trafficCutMark(qint64 leftOut)
{
    return "\r\n[... " + QByteArray::number(leftOut) + " bytes not kept by the traffic log ...]";
}

TrafficLog::TrafficLog(qint64 budgetBytes) : budget_(budgetBytes) {}

QByteArray TrafficLog::keepable(const QByteArray& bytes, qint64 fullSize) const
{
    if (fullSize <= sideLimit() && bytes.size() <= sideLimit())
        return bytes;
    const qint64 kept = std::min<qint64>(bytes.size(), sideLimit());
    return bytes.left(kept) + trafficCutMark(fullSize - kept);
}

quint64 TrafficLog::add(TrafficRecord record)
{
    if (!enabled())
        return 0;
    record.requestSize = std::max<qint64>(record.requestSize, record.request.size());
    record.replySize = std::max<qint64>(record.replySize, record.reply.size());
    record.request = keepable(record.request, record.requestSize);
    record.reply = keepable(record.reply, record.replySize);
    // A buffer that grew while the bytes came in holds more than they need.
    record.request.squeeze();
    record.reply.squeeze();

    std::lock_guard lock(mutex_);
    record.id = nextId_++;
    kept_ += record.memoryBytes();
    records_.push_back(std::move(record));
    dropOldest();
    return records_.back().id;
}

void TrafficLog::setBudget(qint64 budgetBytes)
{
    std::lock_guard lock(mutex_);
    budget_ = budgetBytes;
    dropOldest();
}

void TrafficLog::dropOldest()
{
    while (kept_ > budget_ && records_.size() > 1) {
        kept_ -= records_.front().memoryBytes();
        records_.pop_front();
    }
}

QList<TrafficRecord> TrafficLog::since(quint64 after) const
{
    std::lock_guard lock(mutex_);
    QList<TrafficRecord> newer;
    auto first = std::upper_bound(records_.begin(), records_.end(), after,
                                  [](quint64 id, const TrafficRecord& record) { return id < record.id; });
    for (auto it = first; it != records_.end(); ++it)
        newer << *it;
    return newer;
}

bool TrafficLog::find(quint64 id, TrafficRecord& record) const
{
    std::lock_guard lock(mutex_);
    auto found = std::lower_bound(records_.begin(), records_.end(), id,
                                  [](const TrafficRecord& kept, quint64 wanted) { return kept.id < wanted; });
    if (found == records_.end() || found->id != id)
        return false;
    record = *found;
    return true;
}

quint64 TrafficLog::oldestId() const
{
    std::lock_guard lock(mutex_);
    return records_.empty() ? nextId_ : records_.front().id;
}

qint64 TrafficLog::keptBytes() const
{
    std::lock_guard lock(mutex_);
    return kept_;
}

int TrafficLog::size() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(records_.size());
}

void TrafficLog::clear()
{
    std::lock_guard lock(mutex_);
    records_.clear();
    kept_ = 0;
}
