#include "server/WindowBridge.h"

#include <QThread>

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
    for (const auto& call : waiting)
        call->abandoned = true;
    waiting.clear();
    notStarted.clear();
    changed.notify_all();
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
    {
        std::lock_guard lock(mutex);
        if (!isOpen)
            return false;
        waiting.insert(call);
        notStarted.push_back(call);
    }
    // Wake-ups posted to a destroyed receiver are dropped; those that find no
    // step left do nothing.
    QMetaObject::invokeMethod(this, "runNextStep", Qt::QueuedConnection);

    std::unique_lock lock(mutex);
    changed.wait(lock, [&call] { return call->finished || call->abandoned; });
    waiting.erase(call);
    return call->finished;
}

int WindowBridge::waitingSteps() const
{
    std::lock_guard lock(mutex);
    return static_cast<int>(waiting.size());
}

void WindowBridge::runNextStep()
{
    std::shared_ptr<Call> call;
    {
        std::lock_guard lock(mutex);
        if (notStarted.empty())
            return;
        call = notStarted.front();
        notStarted.pop_front();
    }
    // close() runs on this thread too, so it cannot abandon the step midway. A
    // step that throws must not unwind into the event loop nor leave its caller
    // waiting: it counts as abandoned.
    bool finished = true;
    try {
        call->step();
    } catch (...) {
        finished = false;
    }
    std::lock_guard lock(mutex);
    call->finished = finished;
    call->abandoned = !finished;
    changed.notify_all();
}
