#pragma once

#include <functional>
#include <memory>

// Threads for request handlers, which may block (a window step waits for the
// window): a job goes to an idle thread, or to a new one when none is idle, so
// that a blocked handler never holds up another. Threads idle for a while end.
class HandlerThreads
{
public:
    HandlerThreads();
    // Waits until every job has run and every thread has ended.
    ~HandlerThreads();
    HandlerThreads(const HandlerThreads&) = delete;
    HandlerThreads& operator=(const HandlerThreads&) = delete;

    // From any thread.
    void run(std::function<void()> job);

private:
    struct State;
    // Held by every thread too, since a thread still leaves its loop after the
    // destructor has seen it end.
    std::shared_ptr<State> state;
};
