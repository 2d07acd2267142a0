#include "common/UnixTime.h"

#include <array>

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kMsecsPerDay = kSecondsPerDay * 1000;

// Divides and rounds to the nearest whole number, an exact half to the even one.
qint64 divideRoundHalfEven(qint64 value, qint64 divisor)
{
    qint64 quotient = value / divisor;
    qint64 remainder = value % divisor;
    if (remainder < 0) {
        remainder += divisor;
        --quotient;
    }
    if (2 * remainder > divisor || (2 * remainder == divisor && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

// Milliseconds of the wall clock counted as if it were UTC.
qint64 wallClockMsecs(const QDateTime& local)
{
    const qint64 days = QDate(1970, 1, 1).daysTo(local.date());
    return days * kMsecsPerDay + local.time().msecsSinceStartOfDay();
}

int offsetAt(const QTimeZone& zone, qint64 unixSeconds)
{
    return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::UTC));
}

qint64 wallClockToUnixSeconds(qint64 wallSeconds, const QTimeZone& zone)
{
    // The offsets a day before and a day after cover every offset that can be in
    // force at this wall-clock time; the earlier candidate that maps back to it wins.
    const int offsetBefore = offsetAt(zone, wallSeconds - kSecondsPerDay);
    const int offsetAfter = offsetAt(zone, wallSeconds + kSecondsPerDay);
    for (const int offset : std::array{offsetBefore, offsetAfter}) {
        const qint64 candidate = wallSeconds - offset;
        if (offsetAt(zone, candidate) == offset)
            return candidate;
    }
    return wallSeconds - offsetBefore;
}

} // namespace

QString LocalToUnixSeconds(const QDateTime& local, const QTimeZone& zone)
{
    const qint64 wallSeconds = divideRoundHalfEven(wallClockMsecs(local), 1000);
    return QString::number(wallClockToUnixSeconds(wallSeconds, zone));
}

QString LocalToUnixSeconds(const QDateTime& local)
{
    return LocalToUnixSeconds(local, QTimeZone::systemTimeZone());
}

qint64 DayToUnixSeconds(const QDateTime& local)
{
    return divideRoundHalfEven(wallClockMsecs(local), kMsecsPerDay) * kSecondsPerDay;
}
