#pragma once

#include <functional>
#include <thread>

// Ctrl+C (SIGINT) and SIGTERM ask the run to stop after the item under way, so
// that its report is still written; a second one ends the program at once.
// One watch lives for the whole program; the stop that an OnInterrupt guard
// names is called on the watch's own thread.
class InterruptWatch
{
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    static bool requested();

private:
    std::thread watcher_;
};

// While it lives, an interrupt also calls stop (say, an engine's cancel()).
class OnInterrupt
{
public:
    explicit OnInterrupt(std::function<void()> stop);
    ~OnInterrupt();
    OnInterrupt(const OnInterrupt&) = delete;
    OnInterrupt& operator=(const OnInterrupt&) = delete;
};
