// Days of commissioning in ten minutes: the terminal simulator's load mode
// against the window's callback server, with the window shown and its panes
// writing their log files. Prints the resident memory each minute, the failed
// requests and the longest stall of a 10 ms timer on the window thread.
//
// Usage: soak_bench [minutes, default 10] [requests a second, default 200] [terminals, default 30]
#include "TimerGap.h"
#include "ProcessMemory.h"
#include "WindowServer.h"
#include "app/LogView.h"

#include "app/TfrmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

const char* const kWindowAddress = "127.0.16.211";
constexpr int kPort = 8090;

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int minutes = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 10;
    const QString rate = argc > 2 ? argv[2] : "200";
    const QString terminals = argc > 3 ? argv[3] : "30";

    QTemporaryDir folder;
    TfrmMain window;
    window.setProgramFolder(folder.path());
    window.show();
    startWindowServer(window, kWindowAddress, kPort);

    TimerGap gap;

    std::printf("%s terminals, %s requests a second for %d minutes against the window's server (%s)\n",
                terminals.toLatin1().constData(), rate.toLatin1().constData(), minutes, kWindowAddress);
    std::printf("minute 0: resident memory %.1f MB\n", statusKb("VmRSS:") / 1024.0);
    std::fflush(stdout);
    int minute = 0;
    QTimer everyMinute;
    // What the window holds by its own bounds, to tell them from a leak.
    const auto* mmoLog = window.findChild<LogView*>("mmoLog");
    const auto* mmMsg = window.findChild<LogView*>("mmMsg");
    const auto printMinute = [&] {
        std::printf(
            "minute %d: resident memory %.1f MB, largest timer gap so far %.1f ms (a sleeping thread's %.1f "
            "ms); lines in mmoLog %d, mmMsg %d; traffic records %.1f MB\n",
            ++minute, statusKb("VmRSS:") / 1024.0, gap.largestMs(), gap.sleeperLargestMs(), mmoLog->lineCount(),
            mmMsg->lineCount(), window.trafficLog().keptBytes() / 1e6);
        std::fflush(stdout);
    };
    QObject::connect(&everyMinute, &QTimer::timeout, printMinute);
    everyMinute.start(60'000);

    QProcess load;
    load.setProcessChannelMode(QProcess::MergedChannels);
    load.start(QStringLiteral(QUILLMOOR_TERMINAL_PROGRAM),
               {"--load", terminals, "--rate", rate, "--seconds", QString::number(minutes * 60), "--server",
                QStringLiteral("http://%1:%2/").arg(kWindowAddress).arg(kPort)});
    QEventLoop untilDone;
    QObject::connect(&load, &QProcess::finished, &untilDone, &QEventLoop::quit);
    load.waitForStarted();
    if (load.state() == QProcess::Running)
        untilDone.exec();
    // The last minute's figure, when the load ends just before its timer.
    if (minute < minutes)
        printMinute();
    const QString report = QString::fromLocal8Bit(load.readAll());
    std::fputs(report.toLocal8Bit().constData(), stdout);
    const QRegularExpressionMatch counts =
        QRegularExpression(R"(answered (\d+), errors (\d+))").match(report);
    std::printf("failed requests: %s; largest gap of a 10 ms timer: %.1f ms, of a thread that sleeps 10 ms "
                "at a time alongside: %.1f ms\n",
                counts.hasMatch() ? counts.captured(2).toLatin1().constData() : "(no report)", gap.largestMs(),
                gap.sleeperLargestMs());
    return counts.hasMatch() && counts.captured(2) == "0" ? 0 : 1;
}
