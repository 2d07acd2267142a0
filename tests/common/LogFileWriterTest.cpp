#include "common/LogDayFile.h"
#include "common/LogFileLine.h"
#include "common/LogFileWriter.h"
#include "common/LogRetention.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <mutex>

namespace {

// The file's lines without their times, once it has `count` or 3 s have passed.
QList<QByteArray> linesOf(const QString& path, qsizetype count)
{
    QElapsedTimer waited;
    waited.start();
    QList<QByteArray> lines;
    do {
        QThread::msleep(20);
        QFile file(path);
        lines = (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray()).split('\n');
    } while (lines.size() <= count && waited.elapsed() < 3000);
    EXPECT_TRUE(lines.takeLast().isEmpty());
    for (QByteArray& line : lines)
        line = line.mid(13);
    return lines;
}

} // namespace

TEST(LogFileLine, EachLineOfATextStandsAloneAndALongOneIsCutAt1MiB)
{
    const QString big(LogFileLine::kMaxTextBytes / 3 + 1, QChar(0x4E2D)); // three UTF-8 bytes each
    const qsizetype whole = LogFileLine::kMaxTextBytes / 3 * 3;
    const struct
    {
        QString text;
        QByteArray file;
    } cases[] = {
        {"", "t p \n"},
        {"a\r\nb\rc\n", "t p a\nt p b\nt p c\nt p \n"},
        {big,
         "t p " + big.left(whole / 3).toUtf8() + LogFileLine::marker(big.size() * 3 - whole).toUtf8() + "\n"},
    };
    for (const auto& c : cases) {
        QByteArray file;
        LogFileLine::append(file, "t", "p", c.text);
        EXPECT_EQ(file, c.file) << c.text.left(10).toStdString();
    }
}

TEST(LogRetention, OldFilesGoAndThenTheOldestUntilTheSizeCapHolds)
{
    QTemporaryDir folder;
    const QDate today(2026, 12, 9);
    const struct
    {
        int daysAgo;
        int bytes;
        bool kept;
    } files[] = {{40, 10, false}, {31, 10, false}, {30, 10, false}, {29, 60, false},
                 {3, 30, true},   {1, 30, true},   {0, 50, true}};
    for (const auto& f : files)
        writeTestFile(folder.filePath(LogDayFile::nameOf(today.addDays(-f.daysAgo))),
                      QByteArray(f.bytes, 'x'));
    writeTestFile(folder.filePath("notes.log"), "mine");

    const LogRetention::Kept kept =
        LogRetention::prune(folder.path(), today, 30, 110, LogDayFile::nameOf(today));
    EXPECT_EQ(kept.bytes, 110);
    EXPECT_EQ(kept.others, 2);
    for (const auto& f : files)
        EXPECT_EQ(QFile::exists(folder.filePath(LogDayFile::nameOf(today.addDays(-f.daysAgo)))), f.kept)
            << f.daysAgo;
    EXPECT_TRUE(QFile::exists(folder.filePath("notes.log")));
}

TEST(LogFileWriter, AtStartOldFilesGoAndALineACrashLeftPartWrittenIsCutBack)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(LogDayFile::nameOf(QDate::currentDate()));
    const QString old = folder.filePath(LogDayFile::nameOf(QDate::currentDate().addDays(-31)));
    writeTestFile(path, "12:00:00.000 p before\n12:00:00.001 p bro");
    writeTestFile(old, "12:00:00.000 p old\n");
    {
        LogFileWriter writer(folder.path(), {}, nullptr);
        writer.append("p", "after");
    }
    EXPECT_EQ(linesOf(path, 2), QList<QByteArray>({"p before", "p after"}));
    EXPECT_FALSE(QFile::exists(old));
}

TEST(LogFileWriter, AFailingFolderIsReportedOnceAndWritingResumesWhenItCanBeWritten)
{
    QTemporaryDir folder;
    const QString logs = folder.filePath("logs");
    writeTestFile(logs, "");
    std::mutex reported;
    QStringList reports;
    LogFileWriter writer(logs, {30, qint64(1) << 30, std::chrono::milliseconds(500)}, [&](const QString& error) {
        const std::lock_guard lock(reported);
        reports << error;
    });
    writer.append("p", "one");
    QThread::msleep(300);
    writer.append("p", "two");
    QThread::msleep(300);
    ASSERT_TRUE(QFile::remove(logs));
    writer.append("p", "three");
    EXPECT_EQ(linesOf(QDir(logs).filePath(LogDayFile::nameOf(QDate::currentDate())), 3),
              QList<QByteArray>({"p one", "p two", "p three"}));
    const std::lock_guard lock(reported);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith(logs));
}

// A burst far beyond what waits while the disk fails reaches the file whole when
// the disk is fine, however many buffers the writer finds at once, and so do
// short lines that it reads while they are still being added.
TEST(LogFileWriter, ABurstOfLinesIsWrittenWholeWhileTheDiskIsFine)
{
    QTemporaryDir folder;
    constexpr int kLong = 48;
    constexpr int kShort = 300'000;
    const QString line(1 << 20, QChar('x'));
    QList<QByteArray> expected(kLong, "p " + line.toLatin1());
    {
        LogFileWriter writer(folder.path(), {}, nullptr);
        for (int i = 0; i < kLong; ++i)
            writer.append("p", line);
        for (int i = 0; i < kShort; ++i) {
            writer.append("q", QString::number(i));
            expected << "q " + QByteArray::number(i);
        }
    }
    EXPECT_EQ(linesOf(folder.filePath(LogDayFile::nameOf(QDate::currentDate())), kLong + kShort), expected);
}
