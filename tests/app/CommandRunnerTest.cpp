#include "app/CommandRunner.h"
#include "common/Failure.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Work that waits until released, for at most ten seconds.
struct Gate
{
    std::promise<void> promise;
    std::shared_future<void> future = promise.get_future().share();
    bool waitReleased() const { return future.wait_for(10s) == std::future_status::ready; }
};

} // namespace

TEST(CommandRunner, WindowThreadServesQueuedWorkWhileACommandWaits)
{
    QWidget window;
    CommandRunner runner(&window);
    Gate gate;
    QObject receiver;
    // Another thread hands work to the window thread and waits for it, as the
    // embedded server does; only then does the command's work go on.
    std::thread other([&] {
        QMetaObject::invokeMethod(
            &receiver, [&] { gate.promise.set_value(); }, Qt::BlockingQueuedConnection);
    });
    bool released = false;
    EXPECT_TRUE(runner.run([&] { released = gate.waitReleased(); }, [] {}));
    other.join();
    EXPECT_TRUE(released);
    EXPECT_FALSE(runner.busy());
}

TEST(CommandRunner, ClicksDuringTheWaitAreEatenNotReplayed)
{
    QWidget window;
    auto* button = new QPushButton("go", &window);
    window.show();
    CommandRunner runner(&window);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    Gate gate;
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Space);
        gate.promise.set_value();
    });
    runner.run([&] { gate.waitReleased(); }, [] {});
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST(CommandRunner, ASecondCommandDuringTheWaitDoesNotRun)
{
    QWidget window;
    CommandRunner runner(&window);
    Gate gate;
    bool secondRan = true;
    bool secondAccepted = true;
    QTimer::singleShot(0, [&] {
        secondRan = false;
        secondAccepted = runner.run([&] { secondRan = true; }, [] {});
        gate.promise.set_value();
    });
    EXPECT_TRUE(runner.run([&] { gate.waitReleased(); }, [] {}));
    EXPECT_FALSE(secondAccepted);
    EXPECT_FALSE(secondRan);
}

TEST(CommandRunner, TheWorksErrorReachesTheCaller)
{
    QWidget window;
    CommandRunner runner(&window);
    EXPECT_THROW(runner.run([] { throw Failure("HTTP/1.1 404 Not Found"); }, [] {}), Failure);
    EXPECT_FALSE(runner.busy());
    EXPECT_TRUE(runner.run([] {}, [] {}));
}

TEST(CommandRunner, ClosingTheWindowDuringTheWaitCancelsTheWork)
{
    QWidget window;
    window.show();
    CommandRunner runner(&window);
    Gate gate;
    int cancels = 0;
    QTimer::singleShot(0, [&] { window.close(); });
    bool released = false;
    runner.run([&] { released = gate.waitReleased(); },
               [&] {
                   ++cancels;
                   gate.promise.set_value();
               });
    EXPECT_TRUE(released);
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(window.isVisible());
}
