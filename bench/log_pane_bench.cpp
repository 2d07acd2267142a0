// What the log panes cost on the window thread, headless: a million lines
// appended through TfrmMain::appendLine by handlers into a pane bounded to its
// newest lines, with every line going to the log file and, side by side, with
// the file off; the longest stall of a 10 ms timer
// while four threads stream lines in through the server's window steps, the
// resident memory of a pane holding the million lines, and single long lines.
//
// Usage: log_pane_bench [--no-huge]   (--no-huge leaves out the 3 MiB line)
#include "TimerGap.h"
#include "app/LogView.h"
#include "app/TfrmMain.h"
#include "ProcessMemory.h"
#include "common/LogFileWriter.h"
#include "server/WindowBridge.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const char* const kServerAddress = "127.0.14.31";
constexpr int kMillion = 1'000'000;
// A pane's bound when the settings file does not set one.
constexpr int kMaxPaneLines = 100'000;

// Lets the window run until the pane shows at least `blocks` lines, ending with
// `last` when given, and has been painted since, so that whatever the pane
// defers is paid for inside the figure.
void settle(LogView* pane, int blocks, const QString& last = {})
{
    QElapsedTimer limit;
    limit.start();
    const auto shown = [&] {
        return pane->lineCount() >= blocks && (last.isEmpty() || pane->line(pane->lineCount() - 1) == last);
    };
    while (!shown() && limit.elapsed() < 600'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    pane->viewport()->repaint();
    QCoreApplication::processEvents();
}

QString hundredCharacters(int number)
{
    const QString head = QStringLiteral("/attendance line %1 ").arg(number, 7, 10, QChar('0'));
    return head + QString(100 - head.size(), QChar('x'));
}

// Bytes in the logs folder's files.
qint64 loggedBytes(const QString& programFolder)
{
    const QDir logs(QDir(programFolder).filePath("logs"));
    qint64 bytes = 0;
    for (const QFileInfo& file : logs.entryInfoList({"*.log"}, QDir::Files))
        bytes += file.size();
    return bytes;
}

// The lines come as handlers write them, a few at a time. With the file on,
// a writer of its own records the pane, and the figure runs until it has
// written every line and ended; the wait of at most a fraction of a second
// before a writer takes lines is not counted. Gives the seconds.
double millionLines(TfrmMain& window, LogView* pane, int maxLines, bool fileOn)
{
    constexpr int kLinesPerHandler = 10;
    // "HH:mm:ss.zzz mmoLog " before each line, a line feed after it.
    constexpr qint64 kFileBytesPerLine = 20 + 100 + 1;
    pane->clear();
    pane->setMaxLines(maxLines);
    const QString logs = QDir(window.programFolder()).filePath("logs");
    auto writer = fileOn ? std::make_unique<LogFileWriter>(logs, LogFileWriter::Limits{}, nullptr) : nullptr;
    pane->recordTo(writer.get());
    QCoreApplication::processEvents();
    const qint64 fileBefore = loggedBytes(window.programFolder());
    const long before = statusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= kMillion; i += kLinesPerHandler) {
        window.runHandler([pane, i] {
            for (int line = i; line < i + kLinesPerHandler; ++line)
                TfrmMain::appendLine(pane, hundredCharacters(line));
        });
    }
    const double appended = timer.nsecsElapsed() / 1e9;
    settle(pane, maxLines > 0 ? maxLines : kMillion, hundredCharacters(kMillion));
    const double shown = timer.nsecsElapsed() / 1e9;
    pane->recordTo(nullptr);
    writer.reset();
    const double finished = timer.nsecsElapsed() / 1e9;
    const qint64 written = loggedBytes(window.programFolder()) - fileBefore;
    if (written != (fileOn ? kMillion * kFileBytesPerLine : 0))
        std::printf("the file got %lld bytes, not all of the lines\n", static_cast<long long>(written));
    const long after = statusKb("VmRSS:");
    std::printf("1,000,000 lines of 100 characters, %d a handler, pane bounded to %d lines (0: unbounded), "
                "%s: appended %.2f s, in the pane and painted %.2f s, all in the file %.2f s (%.1f MB)\n",
                kLinesPerHandler, maxLines,
                fileOn ? "file on" : "file off",
                appended, shown, finished,
                written / 1e6);
    std::printf("resident memory: before %.1f MB, after %.1f MB, growth %.1f MB, pane holds %d lines, peak "
                "%.1f MB\n",
                before / 1024.0, after / 1024.0, (after - before) / 1024.0, pane->lineCount(),
                statusKb("VmHWM:") / 1024.0);
    std::fflush(stdout);
    return finished;
}

// Four threads, 500 lines a second each, every line one window step of the
// server's bridge, as a route's log line is.
void streamedLines(LogView* pane, WindowBridge* bridge)
{
    constexpr int kThreads = 4;
    constexpr int kSeconds = 10;
    constexpr int kPerThreadPerSecond = 500;
    const int blocksBefore = pane->lineCount();

    TimerGap gap;

    std::atomic<int> running{kThreads};
    std::atomic<long> abandoned{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < kSeconds * kPerThreadPerSecond; ++i) {
                std::this_thread::sleep_until(start +
                                              std::chrono::microseconds(i * 1'000'000 / kPerThreadPerSecond));
                const QString line = QStringLiteral("thread %1 line %2").arg(t).arg(i);
                if (!bridge->run([pane, line] { TfrmMain::appendLine(pane, line); }))
                    ++abandoned;
            }
            --running;
        });
    }
    while (running > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (auto& thread : threads)
        thread.join();
    gap.stop();
    // Every step that ran appended its line; a full bounded pane stays full.
    const int total = kThreads * kSeconds * kPerThreadPerSecond;
    settle(pane, 0);
    std::printf("%d lines a second from %d threads for %d s (pane already holding %d lines): largest gap "
                "of a 10 ms timer %.1f ms, %ld steps abandoned, %ld lines arrived, the pane holds %d\n",
                kThreads * kPerThreadPerSecond, kThreads, kSeconds, blocksBefore, gap.largestMs(),
                abandoned.load(), total - abandoned.load(), pane->lineCount());
    std::fflush(stdout);
}

void longLines(TfrmMain& window, LogView* pane, bool huge)
{
    std::vector<int> lengths = {8 << 10, 16 << 10, 32 << 10, 64 << 10, 128 << 10};
    if (huge)
        lengths.push_back(3 << 20);
    for (int length : lengths) {
        pane->clear();
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        window.runHandler([pane, length] { TfrmMain::appendLine(pane, QString(length, QChar('x'))); });
        settle(pane, 1);
        std::printf("one line of %7d characters without breaks, appended and painted: %8.1f ms\n", length,
                    timer.nsecsElapsed() / 1e6);
        std::fflush(stdout);
    }
}

void qtTextEdit()
{
    QPlainTextEdit edit;
    edit.setMaximumBlockCount(kMaxPaneLines);
    edit.show();
    const long before = statusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= kMillion; ++i) {
        edit.appendPlainText(hundredCharacters(i));
        if (i % 1000 == 0)
            QCoreApplication::processEvents();
    }
    edit.viewport()->repaint();
    QCoreApplication::processEvents();
    std::printf("QPlainTextEdit bounded to %d blocks, the same million lines: %.2f s, growth %.1f MB\n",
                kMaxPaneLines, timer.nsecsElapsed() / 1e9, (statusKb("VmRSS:") - before) / 1024.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool huge = !(argc > 1 && qstrcmp(argv[1], "--no-huge") == 0);

    QTemporaryDir folder;
    TfrmMain window;
    window.setProgramFolder(folder.path());
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    // The bridge is open while the server runs.
    window.findChild<QLineEdit*>("edtIP1")->setText(kServerAddress);
    window.findChild<QPushButton*>("btn8")->click();
    QCoreApplication::processEvents();

    auto* mmoLog = window.findChild<LogView*>("mmoLog");
    // Side by side, best of three each, since other work on the machine slows
    // single runs by a quarter and more.
    double on = 1e9;
    double off = 1e9;
    for (int round = 0; round < 3; ++round) {
        on = std::min(on, millionLines(window, mmoLog, kMaxPaneLines, true));
        off = std::min(off, millionLines(window, mmoLog, kMaxPaneLines, false));
    }
    std::printf("file on / file off, best of three each: %.2f s / %.2f s = %.2f\n", on, off, on / off);
    std::fflush(stdout);
    // The rest with the file on again.
    {
        LogFileWriter writer(QDir(folder.path()).filePath("logs"), {}, nullptr);
        mmoLog->recordTo(&writer);
        streamedLines(mmoLog, window.findChild<WindowBridge*>("callbackBridge"));
        longLines(window, mmoLog, huge);
        mmoLog->recordTo(nullptr);
    }
    // The pane with no bound, for its memory per line; then Qt's own bounded
    // text edit taking the same lines, as the panes did before.
    millionLines(window, mmoLog, 0, false);
    qtTextEdit();
    return 0;
}
