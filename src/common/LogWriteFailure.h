#pragma once

#include <chrono>

// What the log file writer does while the disk fails (the folder cannot be
// written, the disk is full): it says so once, when the failure starts, and
// tries again no sooner than a while later, never in a tight loop.
class LogWriteFailure
{
public:
    using Clock = std::chrono::steady_clock;

    explicit LogWriteFailure(Clock::duration retryAfter) : retryAfter(retryAfter) {}

    bool failing() const { return failing_; }
    bool mayTry(Clock::time_point now) const { return !failing_ || now >= nextTry; }

    // A write failed; true when that starts a failure, which is then reported.
    bool failed(Clock::time_point now)
    {
        nextTry = now + retryAfter;
        const bool starts = !failing_;
        failing_ = true;
        return starts;
    }
    void succeeded() { failing_ = false; }

private:
    const Clock::duration retryAfter;
    bool failing_ = false;
    Clock::time_point nextTry;
};
