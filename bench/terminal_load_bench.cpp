// The terminal simulator's load mode against the window's callback server
// (started through btn8, headless), and side by side against a bare Beast
// server that answers the same paths without a window: the yardstick.
//
// Usage: terminal_load_bench [terminals, default 20] [requests a second, default 200] [seconds, default 30]
#include "BareServer.h"
#include "WindowServer.h"
#include "app/LogView.h"

#include "app/TfrmMain.h"
#include "server/ReplyFraming.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const char* const kWindowAddress = "127.0.16.201";
const char* const kBareAddress = "127.0.16.202";
constexpr std::uint16_t kPort = 8090;

struct Figures
{
    double answered = 0;
    double errors = 0;
    double p50 = 0;
    double p99 = 0;
};

// Runs the load mode while this thread keeps serving the window.
Figures runLoad(const char* address, const QStringList& load)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(QUILLMOOR_TERMINAL_PROGRAM),
                  load + QStringList{"--server", QStringLiteral("http://%1:%2/").arg(address).arg(kPort)});
    QEventLoop untilDone;
    QObject::connect(&process, &QProcess::finished, &untilDone, &QEventLoop::quit);
    process.waitForStarted();
    if (process.state() == QProcess::Running)
        untilDone.exec();
    const QString report = QString::fromLocal8Bit(process.readAll());
    std::fputs(report.toLocal8Bit().constData(), stdout);
    const QRegularExpressionMatch counts =
        QRegularExpression(R"(answered (\d+), errors (\d+).*p50 ([\d.]+) ms, p99 ([\d.]+) ms)",
                           QRegularExpression::DotMatchesEverythingOption)
            .match(report);
    if (!counts.hasMatch())
        return {};
    return {counts.captured(1).toDouble(), counts.captured(2).toDouble(), counts.captured(3).toDouble(),
            counts.captured(4).toDouble()};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList load = {"--load",    argc > 1 ? argv[1] : "20", "--rate", argc > 2 ? argv[2] : "200",
                              "--seconds", argc > 3 ? argv[3] : "30"};

    QTemporaryDir folder;
    TfrmMain window;
    window.setProgramFolder(folder.path());
    window.show();
    startWindowServer(window, kWindowAddress, kPort);

    std::printf("window's server (%s), %s:\n", kWindowAddress, load.join(' ').toLocal8Bit().constData());
    const Figures windowed = runLoad(kWindowAddress, load);
    const auto* mmoLog = window.findChild<LogView*>("mmoLog");
    const auto* mmMsg = window.findChild<LogView*>("mmMsg");
    std::printf("lines afterwards: mmoLog %d, mmMsg (account queries) %d\n\n",
                mmoLog->lineCount(), mmMsg->lineCount());

    ServerReply attendance;
    attendance.body = R"({"result":1,"success":true})";
    const BareServer bare(kBareAddress, kPort, frameReply(attendance), frameReply(ServerReply{}));
    std::printf("bare server (%s), the same load:\n", kBareAddress);
    const Figures baseline = runLoad(kBareAddress, load);

    if (baseline.p50 > 0 && baseline.p99 > 0)
        std::printf("\nwindow / bare: answered %.3f, p50 %.2fx, p99 %.2fx\n",
                    baseline.answered > 0 ? windowed.answered / baseline.answered : 0,
                    windowed.p50 / baseline.p50, windowed.p99 / baseline.p99);
    return windowed.errors > 0 ? 1 : 0;
}
