#include "server/WindowBridge.h"

#include <QThread>
#include <chrono>
#include <utility>
#include <vector>

namespace {

// Longest stretch of steps before the window's own events get a turn.
constexpr std::chrono::milliseconds kBatchTime{8};

} // namespace

WindowBridge::WindowBridge(QObject* parent) : QObject(parent) {}

WindowBridge::~WindowBridge()
{
    close();
}

void WindowBridge::open()
{
    std::lock_guard lock(mutex);
    isOpen = true;
}

void WindowBridge::close()
{
    std::lock_guard lock(mutex);
    isOpen = false;
    for (const auto& call : waiting) {
        call->abandoned = true;
        call->done.notify_all();
    }
    waiting.clear();
    notStarted.clear();
}

bool WindowBridge::run(const std::function<void()>& step)
{
    // A step asked for on the window thread itself would wait for itself.
    if (QThread::currentThread() == thread()) {
        {
            std::lock_guard lock(mutex);
            if (!isOpen)
                return false;
        }
        step();
        return true;
    }

    auto call = std::make_shared<Call>();
    call->step = step;
    std::unique_lock lock(mutex);
    if (!isOpen)
        return false;
    waiting.insert(call);
    notStarted.push_back(call);
    // Wake-ups posted to a destroyed receiver are dropped; those that find no
    // step left do nothing.
    if (!wakePosted) {
        wakePosted = true;
        QMetaObject::invokeMethod(this, "runReadySteps", Qt::QueuedConnection);
    }
    call->done.wait(lock, [&call] { return call->finished || call->abandoned; });
    waiting.erase(call);
    return call->finished;
}

void WindowBridge::runLater(std::function<void()> step)
{
    auto call = std::make_shared<Call>();
    call->step = std::move(step);
    std::lock_guard lock(mutex);
    if (!isOpen)
        return;
    notStarted.push_back(std::move(call));
    if (!wakePosted) {
        wakePosted = true;
        QMetaObject::invokeMethod(this, "runReadySteps", Qt::QueuedConnection);
    }
}

int WindowBridge::waitingSteps() const
{
    std::lock_guard lock(mutex);
    return static_cast<int>(waiting.size());
}

void WindowBridge::runReadySteps()
{
    {
        std::lock_guard lock(mutex);
        wakePosted = false;
    }
    // close() runs on this thread too, so it cannot abandon a step midway. A
    // step that throws must not unwind into the event loop nor leave its caller
    // waiting: it counts as abandoned.
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::pair<std::shared_ptr<Call>, bool>> ran;
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::lock_guard lock(mutex);
            if (notStarted.empty())
                break;
            call = std::move(notStarted.front());
            notStarted.pop_front();
        }
        bool finished = true;
        try {
            call->step();
        } catch (...) {
            finished = false;
        }
        ran.emplace_back(std::move(call), finished);
        if (std::chrono::steady_clock::now() - start >= kBatchTime)
            break;
    }
    std::lock_guard lock(mutex);
    for (const auto& [call, finished] : ran) {
        call->finished = finished;
        call->abandoned = !finished;
        call->done.notify_all();
    }
    if (!notStarted.empty() && !wakePosted) {
        wakePosted = true;
        QMetaObject::invokeMethod(this, "runReadySteps", Qt::QueuedConnection);
    }
}
