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
    changed.notify_all();
}

bool WindowBridge::run(const std::function<void()>& step)
{
    auto call = std::make_shared<Call>();
    call->step = step;
    {
        std::lock_guard lock(mutex);
        if (!isOpen)
            return false;
        // A step asked for on the window thread itself would wait for itself.
        if (QThread::currentThread() != thread())
            waiting.insert(call);
    }
    if (QThread::currentThread() == thread()) {
        step();
        return true;
    }
    // Posted events of a destroyed receiver are dropped, so a step never
    // outlives the bridge.
    QMetaObject::invokeMethod(
        this, [this, call] { execute(call); }, Qt::QueuedConnection);

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

void WindowBridge::execute(const std::shared_ptr<Call>& call)
{
    {
        std::lock_guard lock(mutex);
        if (call->abandoned)
            return;
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
