#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

// Runs steps on the thread of the window it belongs to, for threads that must
// not touch the window themselves. A caller waits for its step; once the bridge
// is closed (server stopped, window gone) every waiting or later call returns
// "abandoned" and steps that have not started never run. Callers must be gone
// before the bridge is destroyed.
class WindowBridge : public QObject
{
    Q_OBJECT

public:
    // The bridge lives on the parent's thread and starts closed.
    explicit WindowBridge(QObject* parent);
    ~WindowBridge() override;

    // On the window thread.
    void open();
    void close();

    // From any thread: runs step on the window thread as one uninterrupted piece
    // and waits for it. False when it was abandoned instead.
    bool run(const std::function<void()>& step);

    // Steps handed over and not yet finished or abandoned.
    int waitingSteps() const;

private:
    struct Call
    {
        std::function<void()> step;
        bool finished = false;
        bool abandoned = false;
    };

    // Runs the oldest step not yet started; one per posted wake-up, so that the
    // window's own events get their turn between steps. The steps travel in this
    // object's queue, not inside Qt's events, so that every hand-over is guarded
    // by the mutex.
    Q_INVOKABLE void runNextStep();

    mutable std::mutex mutex;
    std::condition_variable changed;
    bool isOpen = false;
    std::deque<std::shared_ptr<Call>> notStarted;
    std::set<std::shared_ptr<Call>> waiting;
};
