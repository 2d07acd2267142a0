// Normal clients of the window's callback server (started through btn8,
// headless), first alone and then beside hostile ones: 1,000 idle connections
// and 300 that trickle a header, in turn in the same run, so that a change of
// the machine's load hits both alike. Then the memory that one large body costs.
//
// Usage: hostile_load_bench [seconds per wrk run, default 10]
#include "HostileClients.h"
#include "ProcessMemory.h"
#include "WindowServer.h"
#include "WrkOutput.h"

#include "app/TfrmMain.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <arpa/inet.h>
#include <cstdio>
#include <future>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::uint16_t kPort = 8090;
const char* const kAddress = "127.0.19.31";
constexpr int kNormalClients = 16;
constexpr int kIdle = 1000;
constexpr int kSlow = 300;
constexpr int kRounds = 2;
constexpr qsizetype kLargeBody = 60'000'000;

// Runs wrk while this thread keeps serving the window's event loop.
WrkResult runWrk(int seconds)
{
    QProcess wrk;
    wrk.start("/usr/bin/wrk",
              {"-t2", "-c" + QString::number(kNormalClients), "-d" + QString::number(seconds) + "s",
               "--latency", QString("http://%1:%2/attendance").arg(kAddress).arg(kPort)});
    QEventLoop loop;
    QObject::connect(&wrk, &QProcess::finished, &loop, &QEventLoop::quit);
    if (wrk.state() != QProcess::NotRunning)
        loop.exec();
    return parseWrk(QString::fromUtf8(wrk.readAllStandardOutput()));
}

void print(const char* beside, const WrkResult& result, double aloneRate)
{
    std::printf("%-26s c=%d %9.0f req/s  p50 %7.0f us  p99 %7.0f us  with / alone %.2f %s\n", beside,
                kNormalClients, result.requestsPerSecond, result.p50Microseconds, result.p99Microseconds,
                aloneRate > 0 ? result.requestsPerSecond / aloneRate : 0.0, qPrintable(result.errors));
    std::fflush(stdout);
}

// Posts one body of kLargeBody bytes and waits for the reply, on another thread.
void postLargeBody()
{
    auto sent = std::async(std::launch::async, [] {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(kPort);
        ::inet_pton(AF_INET, kAddress, &peer.sin_addr);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0) {
            const QByteArray body(kLargeBody, 'b');
            for (const QByteArray& bytes : {"POST /attendance HTTP/1.1\r\nContent-Type: image/jpeg\r\n"
                                            "Content-Length: " +
                                                QByteArray::number(kLargeBody) + "\r\n\r\n",
                                            body}) {
                for (qsizetype at = 0; at < bytes.size();) {
                    const ssize_t n = ::send(fd, bytes.constData() + at, bytes.size() - at, MSG_NOSIGNAL);
                    if (n <= 0)
                        break;
                    at += n;
                }
            }
            char reply[4096];
            while (::recv(fd, reply, sizeof reply, 0) > 0) {
            }
        }
        ::close(fd);
    });
    while (sent.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        QEventLoop pump;
        QTimer::singleShot(5, &pump, &QEventLoop::quit);
        pump.exec();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    QTemporaryDir folder;
    TfrmMain window;
    window.setProgramFolder(folder.path());
    window.show();
    startWindowServer(window, kAddress, kPort);

    double aloneRate = 0;
    double besideRate = 0;
    double worstP99 = 0;
    for (int round = 0; round < kRounds; ++round) {
        const WrkResult alone = runWrk(seconds);
        print("alone", alone, alone.requestsPerSecond);
        int reopened = 0;
        WrkResult beside;
        {
            const HostileClients hostile(kAddress, kPort, kIdle, kSlow);
            beside = runWrk(seconds);
            reopened = hostile.reopened();
        }
        print("beside 1000 idle, 300 slow", beside, alone.requestsPerSecond);
        std::printf("  hostile connections closed by the server and opened again: %d\n", reopened);
        aloneRate += alone.requestsPerSecond / kRounds;
        besideRate += beside.requestsPerSecond / kRounds;
        worstP99 = std::max(worstP99, beside.p99Microseconds);
    }
    std::printf(
        "normal clients beside hostile ones / alone: %.2f (goal at least 0.80); worst p99 beside them "
        "%.1f ms (goal at most 50 ms)\n",
        aloneRate > 0 ? besideRate / aloneRate : 0.0, worstP99 / 1000);
    std::printf("peak memory after the load runs: %ld MiB\n", statusKb("VmHWM:") / 1024);

    // One large body alone: the peak's rise over the memory in use before it.
    QFile peakReset("/proc/self/clear_refs");
    if (peakReset.open(QIODevice::WriteOnly))
        peakReset.write("5");
    peakReset.close();
    const long before = statusKb("VmRSS:");
    postLargeBody();
    // The client's own copy of the body is in this process too.
    const long clientKb = static_cast<long>(kLargeBody / 1024);
    std::printf("one body of %lld bytes: the server's peak memory for it %ld MiB\n",
                static_cast<long long>(kLargeBody), (statusKb("VmHWM:") - before - clientKb) / 1024);
    return 0;
}
