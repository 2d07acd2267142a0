#include "TimerGap.h"

#include <algorithm>
#include <chrono>

TimerGap::TimerGap()
{
    clock.start();
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [this] {
        const qint64 now = clock.nsecsElapsed();
        if (lastTick > 0)
            largest = std::max(largest, now - lastTick);
        lastTick = now;
    });
    ticker.start(10);
    sleeper = std::thread([this] {
        auto last = std::chrono::steady_clock::now();
        while (!stopping) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const auto now = std::chrono::steady_clock::now();
            const qint64 gap = std::chrono::duration_cast<std::chrono::nanoseconds>(now - last).count();
            sleeperLargest = std::max(sleeperLargest.load(), gap);
            last = now;
        }
    });
}

TimerGap::~TimerGap()
{
    stop();
}

void TimerGap::stop()
{
    ticker.stop();
    stopping = true;
    if (sleeper.joinable())
        sleeper.join();
}
