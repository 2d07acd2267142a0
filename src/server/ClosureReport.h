#pragma once

#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <mutex>

// Why the server closed a connection on its own.
enum class CloseReason
{
    HeaderLate,      // the header was not complete in time after the opening
    BodySlow,        // the body came slower than the least rate allowed
    NothingReceived, // nothing came for the read time-out
    Evicted,         // idle longest when a new connection came at the limit
    NoMemory,        // no room in the memory budget in time: 503
};
constexpr int kCloseReasons = 5;

// Counts the connections closed for each reason and says so at most once a
// period: the first closure after a quiet period is reported at once, later ones
// together when the period is over.
class ClosureReport
{
public:
    using Notice = std::function<void(const QString& line)>;
    // Sets a wake-up `delay` from now, after which flush() must be called.
    using Schedule = std::function<void(std::chrono::milliseconds delay)>;

    ClosureReport(std::chrono::milliseconds period, Notice notice, Schedule schedule);

    // From any thread.
    void note(CloseReason reason);
    // Called by the scheduled wake-up: hands the counts to the notice.
    void flush();

private:
    const std::chrono::milliseconds period;
    const Notice notice;
    const Schedule schedule;
    std::mutex mutex;
    std::array<int, kCloseReasons> counts{};
    bool scheduled = false;
    std::chrono::steady_clock::time_point lastReport{};
};

// The log line for these counts, one figure per reason that occurred.
QString closureLine(const std::array<int, kCloseReasons>& counts);
