#include "server/HandlerThreads.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// A burst of requests leaves its threads for the next one this long.
constexpr std::chrono::seconds kIdleThreadLife{10};

} // namespace

struct HandlerThreads::State
{
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable ended;
    std::deque<std::function<void()>> jobs;
    int idle = 0;
    int threads = 0;
    bool stopping = false;

    static void work(const std::shared_ptr<State>& state);
};

void HandlerThreads::State::work(const std::shared_ptr<State>& state)
{
    std::unique_lock lock(state->mutex);
    for (;;) {
        if (state->jobs.empty()) {
            if (state->stopping)
                break;
            ++state->idle;
            const bool woken = state->wake.wait_for(lock, kIdleThreadLife,
                                                    [&] { return !state->jobs.empty() || state->stopping; });
            --state->idle;
            if (!woken)
                break;
            continue;
        }
        std::function<void()> job = std::move(state->jobs.front());
        state->jobs.pop_front();
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
    }
    --state->threads;
    state->ended.notify_all();
}

HandlerThreads::HandlerThreads() : state(std::make_shared<State>()) {}

HandlerThreads::~HandlerThreads()
{
    std::unique_lock lock(state->mutex);
    state->stopping = true;
    state->wake.notify_all();
    state->ended.wait(lock, [this] { return state->threads == 0; });
}

void HandlerThreads::run(std::function<void()> job)
{
    std::unique_lock lock(state->mutex);
    state->jobs.push_back(std::move(job));
    if (state->idle >= static_cast<int>(state->jobs.size())) {
        state->wake.notify_one();
        return;
    }
    ++state->threads;
    lock.unlock();
    try {
        std::thread([shared = state] { State::work(shared); }).detach();
    } catch (const std::system_error&) {
        // Out of threads: the job waits for one that is running already.
        lock.lock();
        --state->threads;
    }
}
