#include "server/ServerFixture.h"
#include "support/LoopbackClient.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <future>
#include <thread>
#include <vector>

namespace {

std::vector<std::future<QByteArray>> sendWaitingRequests(ServerFixture& served, int count)
{
    std::vector<std::future<QByteArray>> replies;
    for (int i = 0; i < count; ++i) {
        replies.push_back(std::async(std::launch::async, [&served] {
            return exchange(served.address, ServerFixture::kPort, getRequest("/heartBeat"));
        }));
    }
    // The window thread serves nothing meanwhile, so every step waits for it.
    while (served.bridge->waitingSteps() < count)
        QThread::msleep(1);
    return replies;
}

} // namespace

TEST(ServerStop, StopWithRequestsWaitingForTheWindowAbandonsThem)
{
    ServerFixture served("127.0.3.30");
    auto replies = sendWaitingRequests(served, 20);

    served.bridge->close();
    served.server.stop();
    for (auto& reply : replies)
        EXPECT_EQ(reply.get(), "");
    EXPECT_EQ(served.bridge->waitingSteps(), 0);
    // The steps still queued for the window never run.
    QCoreApplication::processEvents();
    EXPECT_TRUE(served.window.lines.isEmpty());

    // A second start on the same binding serves again.
    served.bridge->open();
    served.server.start(QString::fromLatin1(served.address), ServerFixture::kPort);
    EXPECT_TRUE(served.exchange(getRequest("/heartBeat")).startsWith("HTTP/1.1 200 OK\r\n"));
}

TEST(ServerStop, WindowGoneWithRequestsWaiting)
{
    auto served = std::make_unique<ServerFixture>("127.0.3.31");
    auto replies = sendWaitingRequests(*served, 20);
    // Destroying the fixture closes the bridge, stops the server and destroys the
    // bridge with its queued steps.
    served.reset();
    for (auto& reply : replies)
        EXPECT_EQ(reply.get(), "");
    QCoreApplication::processEvents();
}

TEST(ServerStop, BridgeRunsStepsOnTheWindowThreadOnlyWhileOpen)
{
    QObject windowThreadObject;
    WindowBridge bridge(&windowThreadObject);
    EXPECT_FALSE(bridge.run([] {}));

    bridge.open();
    std::thread::id ranOn;
    const QByteArray outcome = whileServing([&] {
        const bool ran = bridge.run([&] { ranOn = std::this_thread::get_id(); });
        const bool thrown = bridge.run([] { throw std::runtime_error("step failed"); });
        return QByteArray(ran ? "ran" : "abandoned") + (thrown ? " ran" : " abandoned");
    });
    EXPECT_EQ(outcome, "ran abandoned");
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    // Asked for on the window thread itself, the step runs at once.
    bool direct = false;
    EXPECT_TRUE(bridge.run([&] { direct = true; }));
    EXPECT_TRUE(direct);
}
