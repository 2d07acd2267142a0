// Load on the embedded callback server: wrk against the real window's server
// (started through btn8, headless) and against a bare Beast server that answers
// the same bytes without a window. What the log panes cost alone is measured by
// log_pane_bench.
//
// Usage: server_bench [seconds per wrk run, default 10]
#include "BareServer.h"
#include "WindowServer.h"
#include "WrkOutput.h"
#include "app/LogView.h"

#include "app/TfrmMain.h"
#include "server/HttpServer.h"
#include "server/ReplyFraming.h"
#include "server/WindowBridge.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

constexpr std::uint16_t kPort = 8090;
const char* const kWindowAddress = "127.0.14.21";
const char* const kBareAddress = "127.0.14.22";
const char* const kDirectAddress = "127.0.14.23";

// Runs wrk while this thread keeps serving the window's event loop.
WrkResult runWrk(const char* address, const char* path, int connections, int seconds)
{
    QProcess wrk;
    const int threads = connections == 1 ? 1 : 2;
    wrk.start("/usr/bin/wrk", {"-t" + QString::number(threads), "-c" + QString::number(connections),
                               "-d" + QString::number(seconds) + "s", "--latency",
                               QString("http://%1:%2%3").arg(address).arg(kPort).arg(path)});
    QEventLoop loop;
    QObject::connect(&wrk, &QProcess::finished, &loop, &QEventLoop::quit);
    if (wrk.state() != QProcess::NotRunning)
        loop.exec();
    return parseWrk(QString::fromUtf8(wrk.readAllStandardOutput()));
}

// Samples how many requests wait for the window thread, from another thread.
class BacklogProbe
{
public:
    explicit BacklogProbe(const WindowBridge* bridge)
        : sampler([this, bridge] {
              while (!done) {
                  maximum = std::max(maximum.load(), bridge->waitingSteps());
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          })
    {
    }
    ~BacklogProbe()
    {
        done = true;
        sampler.join();
    }
    int peak() const { return maximum; }

private:
    std::atomic<bool> done{false};
    std::atomic<int> maximum{0};
    std::thread sampler;
};

void print(const char* server, const char* path, int connections, const WrkResult& result, double bareRate,
           const QString& extra = {})
{
    std::printf("%-8s %-12s c=%-3d %10.0f req/s  p50 %8.0f us  p99 %8.0f us  ratio %.2f %s %s\n", server,
                path, connections, result.requestsPerSecond, result.p50Microseconds, result.p99Microseconds,
                bareRate > 0 ? result.requestsPerSecond / bareRate : 0.0, qPrintable(extra),
                qPrintable(result.errors));
    std::fflush(stdout);
}

void loadRuns(TfrmMain& window, int seconds)
{
    const WindowBridge* bridge = window.findChild<WindowBridge*>("callbackBridge");
    auto* mmoLog = window.findChild<LogView*>("mmoLog");

    ServerReply attendance;
    attendance.body = R"({"result":1,"success":true})";
    const BareServer bare(kBareAddress, kPort, frameReply(attendance), frameReply(ServerReply{}));
    // The server itself without a window: the same replies, answered on the
    // connection thread.
    HttpServer direct([&attendance](const ServerRequest& request) -> std::optional<ServerReply> {
        return request.document == "/attendance" ? attendance : ServerReply{};
    });
    direct.start(kDirectAddress, kPort);

    for (const char* path : {"/attendance", "/unmatched"}) {
        double bareRate = 0;
        for (int connections : {1, 8, 32}) {
            const WrkResult bareResult = runWrk(kBareAddress, path, connections, seconds);
            bareRate = bareResult.requestsPerSecond;
            print("bare", path, connections, bareResult, bareResult.requestsPerSecond);

            const int linesBefore = mmoLog->lineCount();
            WrkResult windowResult;
            int peak = 0;
            {
                BacklogProbe probe(bridge);
                windowResult = runWrk(kWindowAddress, path, connections, seconds);
                peak = probe.peak();
            }
            const int linesPerRequest = QString(path) == "/attendance" ? 2 : 1;
            print("window", path, connections, windowResult, bareResult.requestsPerSecond,
                  QString("[wrk requests %1, requests logged %2, peak waiting for window %3]")
                      .arg(windowResult.requests)
                      .arg((mmoLog->lineCount() - linesBefore) / linesPerRequest)
                      .arg(peak));

            // The traffic log's cost: the same window with the log on and off
            // in turn, so that a change of the machine's load hits both alike.
            double recordedRate = 0;
            double unrecordedRate = 0;
            for (int round = 0; round < 2; ++round) {
                for (bool recording : {true, false}) {
                    window.trafficLog().setEnabled(recording);
                    const double rate = runWrk(kWindowAddress, path, connections, seconds).requestsPerSecond;
                    (recording ? recordedRate : unrecordedRate) += rate / 2;
                }
            }
            window.trafficLog().setEnabled(true);
            std::printf("traffic log %-12s c=%-3d on %8.0f req/s  off %8.0f req/s  on / off %.2f\n", path,
                        connections, recordedRate, unrecordedRate, recordedRate / unrecordedRate);
        }
        const WrkResult directResult = runWrk(kDirectAddress, path, 32, seconds);
        print("direct", path, 32, directResult, bareRate);
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
    startWindowServer(window, kWindowAddress, kPort);

    loadRuns(window, seconds);
    return 0;
}
