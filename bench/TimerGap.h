#pragma once

#include <QElapsedTimer>
#include <QTimer>

// A precise window timer of a 10 ms interval that keeps the largest gap
// between its ticks: the longest the window thread was kept from its events.
class TimerGap
{
public:
    TimerGap();
    // Later ticks no longer count.
    void stop() { ticker.stop(); }
    double largestMs() const { return largest / 1e6; }

private:
    QElapsedTimer clock;
    QTimer ticker;
    qint64 lastTick = 0;
    qint64 largest = 0;
};
