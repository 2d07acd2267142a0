#include "server/WindowBridge.h"
#include "app/LogView.h"
#include "support/TestFiles.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// "pane text" of every line of the logs folder's files, oldest first, once
// `count` lines are there or 3 s have passed; a line that does not start
// with a time of day stands as it is, so that it fails a comparison.
QStringList fileLines(const QString& programFolder, qsizetype count)
{
    static const QRegularExpression stamp(R"(^\d\d:\d\d:\d\d\.\d\d\d )");
    const QDir logs(QDir(programFolder).filePath("logs"));
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QByteArray bytes;
        for (const QString& name : logs.entryList({"*.log"}, QDir::Files, QDir::Name)) {
            QFile file(logs.filePath(name));
            file.open(QIODevice::ReadOnly);
            bytes += file.readAll();
        }
        QStringList lines = QString::fromUtf8(bytes).split('\n');
        const bool whole = lines.takeLast().isEmpty();
        if ((lines.size() >= count && whole) || waited.elapsed() > 3000) {
            for (QString& line : lines)
                if (stamp.match(line).hasMatch())
                    line = line.mid(13);
            return lines;
        }
        QTest::qWait(20);
    }
}

QStringList numbered(const char* pane, int from, int to)
{
    QStringList lines;
    for (int i = from; i <= to; ++i)
        lines << QStringLiteral("%1 line %2").arg(pane).arg(i);
    return lines;
}

// "line 1" to "line <count>", a thousand a handler.
void appendLines(TfrmMain& window, LogView* pane, int count)
{
    for (int i = 1; i <= count; i += 1000)
        window.runHandler([pane, i, count] {
            for (int line = i; line < std::min(i + 1000, count + 1); ++line)
                TfrmMain::appendLine(pane, QStringLiteral("line %1").arg(line));
        });
}

using LogFiles = WindowTest;

class LogFileFolder : public QObject
{
    Q_OBJECT

public:
    LogFileFolder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~LogFileFolder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList opened;

public slots:
    void open(const QUrl& url) { opened << url.toLocalFile(); }
};

} // namespace

TEST_F(LogFiles, APaneKeepsItsNewestLinesAndTheFileAllOfThemInOrder)
{
    show();
    auto* mmLog = field<LogView>("mmLog");
    appendLines(window, mmLog, 150'000);
    // A full pane takes what follows at its next frame.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return mmLog->lineCount() == 100'000 && mmLog->line(mmLog->lineCount() - 1) == "line 150000"; }));
    EXPECT_EQ(mmLog->line(0), "line 50001");
    EXPECT_EQ(mmLog->line(mmLog->lineCount() - 1), "line 150000");
    EXPECT_EQ(fileLines(folder.path(), 150'000), numbered("mmLog", 1, 150'000));
}

TEST_F(LogFiles, LinesFromSeveralThreadsStandInTheFileAsInThePane)
{
    show();
    field<QLineEdit>("edtIP1")->setText("127.0.14.3");
    field<QPushButton>("btn8")->click();
    auto* bridge = window.findChild<WindowBridge*>("callbackBridge");
    auto* mmoLog = field<LogView>("mmoLog");
    std::atomic<int> running{4};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([=, &running] {
            for (int i = 0; i < 200; ++i)
                bridge->run([=] {
                    TfrmMain::appendLine(mmoLog, QStringLiteral("/attendance %1-%2").arg(t).arg(i));
                    TfrmMain::appendLine(mmoLog, QStringLiteral("r=%1-%2\nend").arg(t).arg(i));
                });
            --running;
        });
    while (running > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (auto& thread : threads)
        thread.join();
    QStringList inPane = mmoLog->toPlainText().split('\n');
    for (QString& line : inPane)
        line.prepend("mmoLog ");
    EXPECT_EQ(fileLines(folder.path(), inPane.size()), inPane);
}

TEST_F(LogFiles, AProcessKilledAfterItsLastLineLeavesEveryLineWhole)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto folderOf = [](pid_t parent) {
        return QDir::temp().filePath(QStringLiteral("quillmoor-killed-%1").arg(parent));
    };
    EXPECT_EXIT(
        {
            TfrmMain killed;
            killed.setProgramFolder(folderOf(getppid()));
            killed.show();
            appendLines(killed, killed.findChild<LogView*>("mmMsg"), 20'000);
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            std::raise(SIGKILL);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    const QString killedFolder = folderOf(getpid());
    EXPECT_EQ(fileLines(killedFolder, 20'000), numbered("mmMsg", 1, 20'000));
    QDir(killedFolder).removeRecursively();
}

TEST_F(LogFiles, AnUnwritableLogsFolderLeavesThePanesWorkingWithOneWarning)
{
    QFile blocker(folder.filePath("logs"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    show();
    appendLines(window, field<LogView>("mmoLog"), 3);
    QTest::qWait(600);
    appendLines(window, field<LogView>("mmoLog"), 2);
    QTest::qWait(300);
    const QStringList lines = field<LogView>("mmoLog")->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines.filter(u("日志文件无法写入")).size(), 1);
    EXPECT_EQ(lines.filter(QRegularExpression("^line \\d$")).size(), 5);
}

TEST(LogPaneLimit, ABadValueFallsBackToTheDefaultWithOneLine)
{
    const struct
    {
        const char* ini;
        int kept;
        int warnings;
        int trafficMB = 16;
    } cases[] = {
        {"", 100'000, 0},
        {"[Log]\r\nMaxPaneLines=2000\r\nTrafficMB=64\r\n", 2000, 0, 64},
        {"[Log]\r\nMaxPaneLines=lots\r\n", 100'000, 1},
        {"[Log]\r\nMaxPaneLines=999\r\nTrafficMB=0\r\n", 100'000, 2},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        writeTestFile(folder.filePath("Horavel.ini"), c.ini);
        TfrmMain window;
        window.setProgramFolder(folder.path());
        window.show();
        auto* mmoLog = window.findChild<LogView*>("mmoLog");
        EXPECT_EQ(mmoLog->toPlainText().isEmpty() ? 0 : mmoLog->lineCount(), c.warnings) << c.ini;
        EXPECT_EQ(window.trafficLog().sideLimit(), (qint64(c.trafficMB) << 20) / 10) << c.ini;
        appendLines(window, mmoLog, 101'000);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return mmoLog->lineCount() == c.kept && mmoLog->line(mmoLog->lineCount() - 1) == "line 101000";
        })) << c.ini;
        EXPECT_EQ(mmoLog->line(0), QStringLiteral("line %1").arg(101'001 - c.kept));
    }
}

TEST_F(LogFiles, EveryPanesMenuOpensTheLogsFolder)
{
    LogFileFolder viewer;
    show();
    for (const auto& [name, tab] : {std::pair("mmoLog", 0), std::pair("mmoLog2", 2)}) {
        field<QTabWidget>("pgc1")->setCurrentIndex(tab);
        emit field<LogView>(name)->customContextMenuRequested(QPoint(5, 5));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            if (action->text() == u("打开日志文件夹"))
                action->trigger();
        menu->close();
    }
    const QString logs = QDir(folder.path()).filePath("logs");
    EXPECT_EQ(viewer.opened, QStringList({logs, logs}));
}

#include "LogFilesTest.moc"

TEST(LogPaneLimit, AFullPaneKeepsItsNewestBlocksOfLinesThatHoldSeveral)
{
    QTemporaryDir folder;
    writeTestFile(folder.filePath("Horavel.ini"), "[Log]\r\nMaxPaneLines=1000\r\n");
    TfrmMain window;
    window.setProgramFolder(folder.path());
    window.show();
    auto* mmLog = window.findChild<LogView*>("mmLog");
    // The first handler fills the pane; the second's lines alone would fill it again.
    for (const auto& [from, to] : {std::pair(1, 600), std::pair(601, 1500)})
        window.runHandler([mmLog, from, to] {
            for (int i = from; i <= to; ++i)
                TfrmMain::appendLine(mmLog, QStringLiteral("a%1\nb%1").arg(i));
        });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return mmLog->lineCount() == 1000 && mmLog->line(mmLog->lineCount() - 1) == "b1500"; }));
    EXPECT_EQ(mmLog->line(0), "a1001");
}
