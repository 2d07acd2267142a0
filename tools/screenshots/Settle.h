#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

// The picture programs' waits: the window runs meanwhile, so that what it
// shows is painted before it is grabbed.

inline bool waitFor(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

inline void settle(int milliseconds = 300)
{
    waitFor([] { return false; }, milliseconds);
}
