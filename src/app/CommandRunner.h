#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs the network part of a device command on a worker thread while the
// window keeps painting and keeps serving the work that other threads hand to
// it. User input is eaten, not deferred, until the command has ended: a
// command stays one uninterrupted step, and a click made during the wait is
// not replayed afterwards.
class CommandRunner : public QObject
{
    Q_OBJECT

public:
    explicit CommandRunner(QWidget* window);

    // Runs work to its end and rethrows its error on the calling thread.
    // Returns false, without running it, while another command is under way.
    // cancel is called on the window's thread when the window is closed during
    // the wait; it must make work end soon.
    bool run(const std::function<void()>& work, const std::function<void()>& cancel);
    bool busy() const { return busy_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    bool busy_ = false;
    bool cancelled_ = false;
    std::function<void()> cancel_;
};
