// Load on the embedded callback server: wrk against the real window's server
// (started through btn8, headless) and against a bare Beast server that answers
// the same bytes without a window. What the log panes cost alone is measured by
// log_pane_bench.
//
// Usage: server_bench [seconds per wrk run, default 10]
#include "BareServer.h"

#include "app/TfrmMain.h"
#include "server/HttpServer.h"
#include "server/ReplyFraming.h"
#include "server/WindowBridge.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
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

struct WrkResult
{
    double requestsPerSecond = 0;
    double p50Microseconds = 0;
    double p99Microseconds = 0;
    long long requests = 0;
    QString errors;
};

double microseconds(const QString& value, const QString& unit)
{
    const double number = value.toDouble();
    if (unit == "us")
        return number;
    if (unit == "ms")
        return number * 1000;
    if (unit == "s")
        return number * 1e6;
    return number * 60e6;
}

WrkResult parseWrk(const QString& output)
{
    WrkResult result;
    result.requestsPerSecond =
        QRegularExpression(R"(Requests/sec:\s+([\d.]+))").match(output).captured(1).toDouble();
    result.requests = QRegularExpression(R"((\d+) requests in)").match(output).captured(1).toLongLong();
    const QRegularExpression percentile(R"(^\s+(50|99)%\s+([\d.]+)(us|ms|s|m)\s*$)",
                                        QRegularExpression::MultilineOption);
    for (auto it = percentile.globalMatch(output); it.hasNext();) {
        const auto match = it.next();
        const double value = microseconds(match.captured(2), match.captured(3));
        (match.captured(1) == "50" ? result.p50Microseconds : result.p99Microseconds) = value;
    }
    for (auto it = QRegularExpression(R"(Socket errors:[^\n]*|Non-2xx[^\n]*)").globalMatch(output);
         it.hasNext();)
        result.errors += it.next().captured(0).simplified() + "; ";
    return result;
}

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
    auto* mmoLog = window.findChild<QPlainTextEdit*>("mmoLog");

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

            const int linesBefore = mmoLog->blockCount();
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
                      .arg((mmoLog->blockCount() - linesBefore) / linesPerRequest)
                      .arg(peak));
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
    window.findChild<QLineEdit*>("edtIP1")->setText(kWindowAddress);
    window.findChild<QLineEdit*>("edtPort")->setText(QString::number(kPort));
    window.findChild<QPushButton*>("btn8")->click();
    QCoreApplication::processEvents();

    loadRuns(window, seconds);
    return 0;
}
