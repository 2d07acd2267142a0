#include "app/CommandRunner.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <exception>
#include <thread>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

CommandRunner::CommandRunner(QWidget* window) : QObject(window), window_(window) {}

bool CommandRunner::run(const std::function<void()>& work, const std::function<void()>& cancel)
{
    if (busy_)
        return false;
    busy_ = true;
    cancelled_ = false;
    cancel_ = cancel;
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    std::exception_ptr error;
    bool finished = false;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this, [&finished] { finished = true; }, Qt::QueuedConnection);
    });
    // Not a QEventLoop: once the application is quitting, a new exec() returns
    // at once without waiting, and the command must still be waited for.
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    worker.join();

    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
    cancel_ = {};
    busy_ = false;
    if (error)
        std::rethrow_exception(error);
    return true;
}

bool CommandRunner::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close && watched == window_ && !cancelled_) {
        cancelled_ = true;
        cancel_();
        return false;
    }
    return isUserInput(event->type());
}
