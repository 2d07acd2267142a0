#include "TimerGap.h"

#include <algorithm>

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
}
