#include "common/LineClock.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// Stamps worked out from the processor's counter agree with the system clock,
// in a burst and after pauses shorter and longer than a millisecond, once the
// counter's rate is known and before.
TEST(LineClock, StampsAgreeWithTheSystemClockInBurstsAndAfterPauses)
{
    LineClock clock;
    const std::chrono::microseconds pauses[] = {
        std::chrono::microseconds(0), std::chrono::microseconds(300), std::chrono::microseconds(2'000),
        std::chrono::microseconds(15'000), std::chrono::microseconds(120'000)};
    for (int round = 0; round < 3; ++round) {
        for (const auto pause : pauses) {
            std::this_thread::sleep_for(pause);
            for (int i = 0; i < 20'000; ++i) {
                const qint64 before = QDateTime::currentMSecsSinceEpoch();
                const qint64 stamp = clock.msecsSinceEpoch();
                const qint64 after = QDateTime::currentMSecsSinceEpoch();
                // A millisecond either way: a stamp is truncated, as the system's are.
                ASSERT_GE(stamp, before - 1) << "pause " << pause.count() << " us, read " << i;
                ASSERT_LE(stamp, after + 1) << "pause " << pause.count() << " us, read " << i;
            }
        }
    }
}
