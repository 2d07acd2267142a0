#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <thread>

// A precise window timer of a 10 ms interval that keeps the largest gap
// between its ticks: the longest the window thread was kept from its events.
// Alongside, a thread that only sleeps 10 ms at a time keeps its own largest
// gap: what the machine withholds from any thread, window work or not.
class TimerGap
{
public:
    TimerGap();
    ~TimerGap();
    TimerGap(const TimerGap&) = delete;
    TimerGap& operator=(const TimerGap&) = delete;

    // Later ticks no longer count.
    void stop();
    double largestMs() const { return largest / 1e6; }
    double sleeperLargestMs() const { return sleeperLargest / 1e6; }

private:
    QElapsedTimer clock;
    QTimer ticker;
    qint64 lastTick = 0;
    qint64 largest = 0;
    std::atomic<bool> stopping{false};
    std::atomic<qint64> sleeperLargest{0};
    std::thread sleeper;
};
