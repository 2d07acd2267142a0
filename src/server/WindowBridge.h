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
// before the bridge is destroyed. Steps that are ready together run as one
// batch, each still in one piece.
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
    // From any thread: runs step on the window thread with the next batch,
    // without waiting for it; dropped when the bridge is closed.
    void runLater(std::function<void()> step);

    // Steps handed over and not yet finished or abandoned.
    int waitingSteps() const;

private:
    struct Call
    {
        std::function<void()> step;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
    };

    // Runs the steps not yet started, oldest first, for at most a few
    // milliseconds, so that the window's own events get their turn between
    // batches. The steps travel in this object's queue, not inside Qt's events,
    // so that every hand-over is guarded by the mutex.
    Q_INVOKABLE void runReadySteps();

    mutable std::mutex mutex;
    bool isOpen = false;
    // A wake-up is on its way to runReadySteps; one is enough for any number of
    // steps.
    bool wakePosted = false;
    std::deque<std::shared_ptr<Call>> notStarted;
    std::set<std::shared_ptr<Call>> waiting;
};
