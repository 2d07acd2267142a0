// Start-up cost of the main window: time from process start to the end of the
// show sequence, and peak resident memory, over fresh processes.
//
// Run without arguments, it is the driver: it starts itself N times (default
// 10, or the first argument) with "--child" and prints median, min and max.
// The child builds the window, shows it, processes events until the window is
// exposed and the show sequence has run, then prints one line and exits.
//
// Two clocks are reported:
// - "spawn": measured by the driver from just before it starts the child to
//   the moment the child's line arrives; this includes fork/exec, dynamic
//   linking, Qt's platform start-up and the window, i.e. what a user waits for.
// - "in-process": measured by the child from main() entry; it leaves out exec
//   and dynamic linking.
// Memory is the child's VmHWM from /proc/self/status, read after the show.
#include "app/TfrmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

long peakResidentKb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

int runChild(int argc, char** argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    QTemporaryDir folder;
    TfrmMain window;
    window.setProgramFolder(folder.path());
    window.setErrorPresenter(
        [](const QString& text) { std::fprintf(stderr, "error box: %s\n", qPrintable(text)); });
    window.show(); // the show sequence runs inside the first show event
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
    std::printf("%lld %ld\n", static_cast<long long>(sinceMain.nsecsElapsed() / 1000), peakResidentKb());
    std::fflush(stdout);
    return 0;
}

struct Stats
{
    double median, min, max;
};

Stats statsOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

int runDriver(int argc, char** argv)
{
    // Headless unless a platform is asked for (e.g. QT_QPA_PLATFORM=xcb under xvfb-run).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    std::vector<double> spawnMs, inProcessMs, peakMb;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {"--child"});
        QByteArray line;
        while (!line.contains('\n') && child.waitForReadyRead(30000))
            line += child.readAllStandardOutput();
        const double elapsedMs = clock.nsecsElapsed() / 1e6;
        child.waitForFinished(30000);
        const QList<QByteArray> fields = line.trimmed().split(' ');
        const QByteArray errors = child.readAllStandardError();
        if (errors.contains("error box"))
            std::fprintf(stderr, "run %d: %s", i + 1, errors.constData());
        if (fields.size() != 2) {
            std::fprintf(stderr, "run %d: child gave no figures\n%s", i + 1, errors.constData());
            return 1;
        }
        spawnMs.push_back(elapsedMs);
        inProcessMs.push_back(fields[0].toDouble() / 1000);
        peakMb.push_back(fields[1].toDouble() / 1024);
    }
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    std::printf("startup_bench: %d runs, QT_QPA_PLATFORM=%s\n", runs, platform.constData());
    std::printf("%-34s %9s %9s %9s\n", "", "median", "min", "max");
    auto row = [](const char* name, const Stats& s) {
        std::printf("%-34s %9.1f %9.1f %9.1f\n", name, s.median, s.min, s.max);
    };
    row("spawn to shown (ms)", statsOf(spawnMs));
    row("main() to shown, in-process (ms)", statsOf(inProcessMs));
    row("peak resident VmHWM (MB)", statsOf(peakMb));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    return runDriver(argc, argv);
}
