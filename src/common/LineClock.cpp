#include "common/LineClock.h"

#include <cmath>
#include <ctime>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define QUILLMOOR_HAS_TSC 1
#endif

namespace {

constexpr qint64 kNsecsPerMsec = 1'000'000;
// Reads of the system clock at least this far apart measure the counter's
// rate; closer ones would be swayed by how long a read takes.
constexpr qint64 kRateSpanNsecs = 10 * kNsecsPerMsec;
// A read of the system clock takes a few hundred ticks; one that took longer
// was interrupted, and does not tell when the clock was read.
constexpr std::uint64_t kMaxReadTicks = 100'000;

qint64 systemNsecs()
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The processor's time-stamp counter, where it has one.
std::uint64_t counterTicks()
{
#ifdef QUILLMOOR_HAS_TSC
    return __rdtsc();
#else
    return 0;
#endif
}

// Whether the processor says its counter runs at one pace in every power and
// sleep state.
bool counterInvariant()
{
#ifdef QUILLMOOR_HAS_TSC
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(0x80000007, &eax, &ebx, &ecx, &edx) && (edx & (1u << 8)) != 0;
#else
    return false;
#endif
}

} // namespace

LineClock::LineClock() : counterSteady(counterInvariant()) {}

qint64 LineClock::msecsSinceEpoch()
{
    // Without a counter to trust, its reads and measurements would be wasted.
    if (!counterSteady)
        return systemNsecs() / kNsecsPerMsec;
    const std::uint64_t before = counterTicks();
    // Unsigned: a counter that went back, as another processor's may, looks
    // like a long time.
    const std::uint64_t since = before - baseTicks;
    if (since < reuseTicks)
        return (baseNsecs + qint64(double(since) * nsecsPerTick)) / kNsecsPerMsec;
    const qint64 nsecs = systemNsecs();
    if (counterTicks() - before < kMaxReadTicks) {
        baseTicks = before;
        baseNsecs = nsecs;
        if (nsecs - rateNsecs >= kRateSpanNsecs)
            measureRate(before, nsecs);
    }
    return nsecs / kNsecsPerMsec;
}

void LineClock::measureRate(std::uint64_t ticks, qint64 nsecs)
{
    const double rate = ticks > rateTicks ? double(nsecs - rateNsecs) / double(ticks - rateTicks) : 0;
    // The rate is trusted once two measurements agree: a clock that was set
    // between two reads, or a counter that jumped, gives one unlike the last.
    const bool steady = rate > 0 && std::abs(rate - nsecsPerTick) <= nsecsPerTick / 100;
    reuseTicks = steady ? std::uint64_t(kNsecsPerMsec / rate) : 0;
    nsecsPerTick = rate;
    rateTicks = ticks;
    rateNsecs = nsecs;
}
