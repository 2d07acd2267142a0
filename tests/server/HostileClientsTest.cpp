#include "server/ServerFixture.h"
#include "server/WindowStepHandler.h"
#include "support/LoopbackClient.h"

#include <QFile>
#include <gtest/gtest.h>
#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

using Clients = std::vector<std::unique_ptr<LoopbackClient>>;

Clients openClients(const char* address, int count, const QByteArray& firstBytes = {})
{
    Clients clients;
    for (int i = 0; i < count; ++i) {
        clients.push_back(std::make_unique<LoopbackClient>(address, ServerFixture::kPort));
        clients.back()->send(firstBytes);
    }
    return clients;
}

bool answered(const QByteArray& reply)
{
    return reply.startsWith("HTTP/1.1 200 OK\r\n");
}

// How many kept exchanges ended with a result holding this text.
int recordsEndedWith(const TrafficLog& traffic, const char* text)
{
    int count = 0;
    for (const TrafficRecord& record : traffic.since(0))
        count += record.result.contains(QLatin1String(text));
    return count;
}

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer keeps freed blocks in quarantine (256 MiB by default), so the
// process's peak there says nothing of the server's budget.
constexpr bool kPeakShowsTheBudget = false;
#else
constexpr bool kPeakShowsTheBudget = true;
#endif

long peakMemoryKb()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

TEST(HostileClients, ThousandIdleConnectionsLeaveRoomForARequest)
{
    ServerFixture served("127.0.19.6");
    const Clients idle = openClients(served.address, 1000);
    const auto start = Clock::now();
    EXPECT_TRUE(answered(served.exchange(getRequest("/heartBeat"))));
    EXPECT_LT(Clock::now() - start, 1s);
}

TEST(HostileClients, AtTheLimitTheLongestIdleConnectionMakesRoom)
{
    HttpServerLimits limits;
    limits.maxConnections = 20;
    ServerFixture served("127.0.19.1", limits);
    const Clients idle = openClients(served.address, limits.maxConnections);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(answered(served.exchange(getRequest("/heartBeat"))));
    EXPECT_TRUE(idle.front()->closedWithin(2000));
    EXPECT_FALSE(idle.back()->closedWithin(0));
    EXPECT_EQ(recordsEndedWith(served.traffic, "idle longest"), 1);
}

TEST(HostileClients, HeadersTrickledInAreClosedTenSecondsAfterTheOpening)
{
    ServerFixture served("127.0.19.2");
    const auto opened = Clock::now();
    const Clients slow = openClients(served.address, 300, "GET /attendance HTTP/1.1\r\nX-Slow: ");
    std::vector<Clock::duration> closedAfter(slow.size(), Clock::duration::max());
    int normal = 0;
    int normalAnswered = 0;
    whileServing([&] {
        // A byte every quarter second from each, for at most 15 s.
        for (int tick = 0;
             tick < 60 && std::count(closedAfter.begin(), closedAfter.end(), Clock::duration::max());
             ++tick) {
            for (std::size_t i = 0; i < slow.size(); ++i) {
                if (closedAfter[i] != Clock::duration::max())
                    continue;
                if (slow[i]->closedWithin(0))
                    closedAfter[i] = Clock::now() - opened;
                else
                    slow[i]->send("a");
            }
            ++normal;
            normalAnswered +=
                answered(exchange(served.address, ServerFixture::kPort, getRequest("/attendance")));
            std::this_thread::sleep_for(250ms);
        }
        return QByteArray();
    });
    for (const Clock::duration after : closedAfter) {
        EXPECT_GE(after, 10s);
        EXPECT_LE(after, 11s);
    }
    EXPECT_EQ(normalAnswered, normal);
    EXPECT_EQ(recordsEndedWith(served.traffic, "header was not complete 10 s after"), 300);
}

TEST(HostileClients, BodiesTrickledAtAHundredBytesASecondAreClosed)
{
    HttpServerLimits limits;
    limits.minBodyTime = 2s;
    ServerFixture served("127.0.19.3", limits);
    // Declared length, chunks, and everything up to the close.
    Clients slow;
    for (const QByteArray framing :
         {"Content-Length: 4096\r\n\r\n", "Transfer-Encoding: chunked\r\n\r\n1000\r\n", "\r\n"})
        slow.push_back(
            std::move(openClients(served.address, 1, "POST /uploadFaceImage HTTP/1.1\r\n" + framing)[0]));
    std::vector<bool> closed(slow.size(), false);
    for (int tick = 0; tick < 80 && std::count(closed.begin(), closed.end(), false); ++tick) {
        for (std::size_t i = 0; i < slow.size(); ++i)
            closed[i] = closed[i] || slow[i]->closedWithin(0) || !slow[i]->send(QByteArray(10, 'b'));
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(closed, std::vector<bool>(slow.size(), true));
    EXPECT_EQ(recordsEndedWith(served.traffic, "body came slower than 4096 bytes/s"), 3);
    EXPECT_TRUE(served.window.lines.isEmpty());
}

TEST(HostileClients, SixteenLargeBodiesAtOnceStayWithinTheBudget)
{
    QFile peakReset("/proc/self/clear_refs");
    ASSERT_TRUE(peakReset.open(QIODevice::WriteOnly) && peakReset.write("5") == 1);
    peakReset.close();
    const QByteArray body(60'000'000, 'b');
    std::atomic<int> whole{0};
    // A busy window: each request takes a while, so that later ones find no room.
    HttpServer server([&](const ServerRequest& request) -> std::optional<ServerReply> {
        whole += request.body == body;
        std::this_thread::sleep_for(300ms);
        return ServerReply{};
    });
    const char* const address = "127.0.19.4";
    server.start(address, ServerFixture::kPort);
    std::vector<std::future<QByteArray>> replies;
    for (int i = 0; i < 16; ++i) {
        replies.push_back(std::async(std::launch::async, [&] {
            LoopbackClient client(address, ServerFixture::kPort);
            client.send("POST /upload HTTP/1.1\r\nContent-Length: " + QByteArray::number(body.size()) +
                        "\r\n\r\n");
            client.send(body);
            return client.readAll();
        }));
    }
    int served = 0;
    int refused = 0;
    for (auto& reply : replies) {
        const QByteArray bytes = reply.get();
        served += answered(bytes);
        refused += bytes.startsWith("HTTP/1.1 503 Service Unavailable\r\n") &&
                   bytes.contains("\r\nRetry-After: 1\r\n");
    }
    EXPECT_EQ(served + refused, 16);
    EXPECT_GT(refused, 0);
    EXPECT_EQ(whole, served);
    if (kPeakShowsTheBudget) {
        EXPECT_LT(peakMemoryKb(), 512 * 1024);
    }
}

TEST(HostileClients, ClosuresAreToldInTheLogAtMostOncePerPeriod)
{
    HttpServerLimits limits;
    limits.headerDeadline = 100ms;
    limits.closureReportPeriod = 1500ms;
    ServerFixture served("127.0.19.5", limits);
    served.server.stop();
    served.server.setClosureNotice(windowClosureNotice(*served.bridge, served.window));
    served.server.start(QString::fromLatin1(served.address), ServerFixture::kPort);
    const auto waitForLines = [&](qsizetype count, int milliseconds) {
        const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
        while (served.window.lines.size() < count && Clock::now() < end)
            whileServing([] { return QByteArray(); });
        return served.window.linesOf(LogPane::mmoLog);
    };
    const Clients first = openClients(served.address, 1);
    EXPECT_EQ(waitForLines(1, 1000), QStringList{QString::fromUtf8("HttpServer关闭连接1个: 请求头超时1")});
    const Clients more = openClients(served.address, 3);
    EXPECT_EQ(waitForLines(2, 700).size(), 1);
    EXPECT_EQ(waitForLines(2, 2000).last(), QString::fromUtf8("HttpServer关闭连接3个: 请求头超时3"));
}
