#pragma once

#include <QtGlobal>

#include <cstdint>

// The wall clock in milliseconds since the epoch, for stamping log lines as
// they are handed over, up to millions a second. A read of the system clock
// first waits for the processor to finish all the work before it, which costs
// more than the rest of a hand-over. So, after a read of the system clock, the
// time is worked out from the processor's time-stamp counter alone, unordered,
// at the rate it was seen to run between earlier reads, until the counter says
// that a millisecond has passed; then the system clock is read again. A stamp
// is the system clock's, off by what the counter drifts in a millisecond.
// Where there is no such counter, where it may stop or change pace as the
// processor sleeps or slows down, or while its rate is not steady, every stamp
// reads the system clock. Used by one thread at a time.
class LineClock
{
public:
    LineClock();
    qint64 msecsSinceEpoch();

private:
    void measureRate(std::uint64_t ticks, qint64 nsecs);

    // Whether the processor says its counter keeps one pace, asleep or busy.
    const bool counterSteady;

    // The counter at the last read of the system clock, and what that read.
    std::uint64_t baseTicks = 0;
    qint64 baseNsecs = 0;
    // The read the counter's rate was last measured from, and that rate.
    std::uint64_t rateTicks = 0;
    qint64 rateNsecs = 0;
    double nsecsPerTick = 0;
    // The counter's ticks in a millisecond; 0 while its rate is not known.
    std::uint64_t reuseTicks = 0;
};
