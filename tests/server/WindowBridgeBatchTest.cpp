#include "server/WindowBridge.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

// Steps that are waiting together run as one batch, and its after-steps work is
// done before any of their callers goes on.
TEST(WindowBridgeBatch, AfterStepsWorkRunsOncePerBatchBeforeTheCallersGoOn)
{
    QObject owner;
    WindowBridge bridge(&owner);
    std::vector<int> ran;
    std::vector<int> written;
    int batches = 0;
    bridge.setAfterSteps([&] {
        batches += ran.empty() ? 0 : 1;
        written.insert(written.end(), ran.begin(), ran.end());
        ran.clear();
    });
    bridge.open();

    constexpr int kCallers = 8;
    std::atomic<int> seenBeforeWritten{0};
    std::atomic<int> done{0};
    std::vector<std::thread> callers;
    for (int i = 0; i < kCallers; ++i) {
        callers.emplace_back([&, i] {
            bool present = false;
            EXPECT_TRUE(bridge.run([&, i] { ran.push_back(i); }));
            // Back on the window thread: what the batch wrote holds this step.
            bridge.run([&, i] { present = std::find(written.begin(), written.end(), i) != written.end(); });
            seenBeforeWritten += present ? 0 : 1;
            ++done;
        });
    }
    while (bridge.waitingSteps() < kCallers)
        QThread::msleep(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(batches, 1);
    EXPECT_EQ(written.size(), std::size_t(kCallers));

    while (done < kCallers)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (auto& caller : callers)
        caller.join();
    EXPECT_EQ(seenBeforeWritten, 0);
}
