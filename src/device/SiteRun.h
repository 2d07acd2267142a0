#pragma once

#include "device/HttpClient.h"

#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

class TrafficLog;

// The two clients a terminal's commands go through, as the window's: form
// posts, and the fixed bodies that clear an address; and the sign that the
// run is aborted, so that no further command goes.
struct TerminalClients
{
    HttpClient client;
    HttpClient clearingClient;
    const std::atomic<bool>& aborted;
};

// Runs one job per terminal, up to `parallel` at a time, each on a thread of
// its own with clients of its own. Every exchange is recorded under the
// context followed by the terminal's address. Runs on the caller's thread;
// cancel() and abort() may come from any other.
class SiteRun
{
public:
    static constexpr int kMaxParallel = 32;

    struct Traffic
    {
        TrafficLog* log = nullptr;
        QString context;
    };

    using Job = std::function<void(std::size_t index, TerminalClients& clients)>;

    SiteRun(int parallel, Traffic traffic, int timeoutMs);

    // Runs job for each of the terminals' addresses and returns once all
    // that started have ended.
    void run(const std::vector<QString>& addresses, const Job& job);

    // No further terminal starts.
    void cancel() { cancelled_ = true; }
    // Nor does any further request: the ones under way fail at once.
    void abort();
    bool cancelled() const { return cancelled_; }

private:
    const int parallel;
    const Traffic traffic;
    const int timeoutMs;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> aborted_{false};
    std::mutex mutex;
    std::vector<TerminalClients*> live;
};
