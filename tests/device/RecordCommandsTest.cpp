#include "common/Failure.h"
#include "device/CommandEnvelope.h"
#include "device/RecordCommands.h"
#include "support/FakeTerminal.h"
#include "support/FtpServerFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

RecordQueryFields queryDefaults()
{
    return {"58104726", "100", "0", true, QDate(2019, 6, 29), QDate(2019, 6, 29)};
}

RecordDeleteFields deleteDefaults()
{
    const QDateTime picked(QDate(2019, 6, 29), QTime(8, 45, 35));
    return {"58104726", "", picked, picked};
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(RecordQueryText, DefaultsUncheckedRangeAndNumbers)
{
    EXPECT_EQ(RecordQueryText(queryDefaults()),
              "pass=58104726&personId=-1&startTime=2019-06-29%2000:00:00&endTime=2019-06-29%2023:59:59"
              "&length=100&model=-1&order=1&index=0");
    RecordQueryFields unchecked = queryDefaults();
    unchecked.rangeChecked = false;
    unchecked.endDate = QDate(2030, 1, 1);
    unchecked.password = "a b&c";
    unchecked.pageRecords = " 0x10";
    unchecked.pages = "-2";
    EXPECT_EQ(RecordQueryText(unchecked),
              "pass=a%20b%26c&personId=-1&startTime=0&endTime=0&length=16&model=-1&order=1&index=-2");
    for (const char* bad : {"", "1.5", "10 ", "abc"}) {
        RecordQueryFields fields = queryDefaults();
        fields.pages = bad;
        EXPECT_THROW(RecordQueryText(fields), Failure) << bad;
    }
}

TEST(RecordDeletion, BothVariantsSendTheirRangeAndReportSuccess)
{
    FakeTerminal terminal(50, 8090, "127.0.11.");
    const DeviceConnection connection{terminal.host(), 8090};
    HttpClient client(kFormContentType);
    const struct
    {
        RecordRange range;
        QString findEmpId;
        const char* reply;
        QByteArray requestLine;
        QByteArray body;
        bool deleted;
    } cases[] = {
        {RecordRange::DateTime, "", R"({"success":true})", "POST /newDeleteRecords HTTP/1.0",
         "pass=58104726&personId=%2D1&startTime=2019%2D06%2D29+08%3A45%3A35&endTime=2019%2D06%2D30+08%3A45%"
         "3A35"
         "&model=%2D1",
         true},
        {RecordRange::UnixTime, "", R"({"success":true})", "POST /newDeleteRecordsByUnixTime HTTP/1.0",
         "pass=58104726&personId=%2D1&startTime=1561766400000&endTime=1561766400000&model=%2D1", true},
        {RecordRange::UnixTime, "77", R"({"success":false})", "POST /newDeleteRecordsByUnixTime HTTP/1.0",
         "pass=58104726&personId=77&startTime=1561766400000&endTime=1561766400000&model=%2D1", false},
        {RecordRange::DateTime, "77", R"({"result":1})", "POST /newDeleteRecords HTTP/1.0",
         "pass=58104726&personId=77&startTime=2019%2D06%2D29+08%3A45%3A35&endTime=2019%2D06%2D30+08%3A45%3A35"
         "&model=%2D1",
         false},
    };
    for (const auto& c : cases) {
        RecordDeleteFields fields = deleteDefaults();
        fields.findEmpId = c.findEmpId;
        terminal.then(TerminalReply::json(c.reply));
        const CommandLog log = DeleteRecords(c.range, fields, connection, client);
        EXPECT_EQ(terminal.lastRequest().requestLine, c.requestLine) << c.reply;
        EXPECT_EQ(terminal.lastRequest().body, c.body) << c.reply;
        QStringList expected{c.reply};
        if (c.deleted)
            expected << QStringLiteral("删除成功");
        EXPECT_EQ(log.lines, expected) << c.reply;
    }
}

TEST(RecordQuery, AReplyWithoutSuccessIsLoggedAndFetchesNothing)
{
    FakeTerminal terminal(51, 8090, "127.0.11.");
    FtpServerFixture ftp(terminal.host().toLatin1());
    QTemporaryDir folder;
    const QString records = R"({\"records\":[{\"time\":\"1\",\"path\":\"IdentifyRecords/1.jpg\"}]})";
    HttpClient client(kFormContentType);
    FtpClient ftpClient;
    for (const QString& reply :
         {R"({"success":false,"data":")" + records + "\"}", QString(R"({"success":true})"),
          QString(R"({"success":true,"data":"{}"})")}) {
        terminal.then(TerminalReply::json(reply));
        const CommandLog log =
            QueryRecords(RecordQueryText(queryDefaults()), {terminal.host(), {}, folder.filePath("pic")},
                         {terminal.host(), 8090}, client, ftpClient);
        EXPECT_EQ(log.lines, QStringList{reply});
        EXPECT_FALSE(log.error);
    }
    EXPECT_EQ(terminal.lastRequest().requestLine,
              "GET /newFindRecords?pass=58104726&personId=-1&startTime=2019-06-29%2000:00:00"
              "&endTime=2019-06-29%2023:59:59&length=100&model=-1&order=1&index=0 HTTP/1.1");
    ftp.settle();
    EXPECT_EQ(ftp.connections(), 0);
}

TEST(RecordQuery, AReplyNestedTooDeepIsLoggedAndGoesToTheErrorBox)
{
    const QString reply = R"({"success":true,"data":)" + QString(200000, '[') + QString(200000, ']') + "}";
    const RecordPage page = ReadRecordPage(reply);
    EXPECT_EQ(page.log.lines, QStringList{reply});
    EXPECT_TRUE(page.log.error);
    EXPECT_TRUE(page.records.empty());
}

namespace {

// A query reply whose "data" is itself JSON, sent as a string.
QString recordsReply(const QString& records)
{
    const QString data = R"({"records":[)" + records + "]}";
    return R"({"success":true,"data":")" + QString(data).replace("\"", "\\\"") + "\"}";
}

} // namespace

TEST(RecordQuery, FetchesEachMissingPhotoOnceIntoPicAndSkipsThePresentOnes)
{
    FakeTerminal terminal(52, 8090, "127.0.11.");
    FtpServerFixture ftp(terminal.host().toLatin1());
    for (const char* name : {"a", "b", "x", "p"})
        FtpServerFixture::putFile(ftp.userRoot(), QString("IdentifyRecords/day/%1.jpg").arg(name),
                                  QByteArray("photo ") + name);
    QTemporaryDir folder;
    const QString pic = folder.filePath("pic");
    HttpClient client(kFormContentType);
    FtpClient ftpClient;
    const RecordPhotoSource photos{terminal.host(), {true, "admin", "58104726"}, pic};
    auto query = [&](const QString& reply) {
        terminal.then(TerminalReply::json(reply));
        const CommandLog log = QueryRecords(RecordQueryText(queryDefaults()), photos, {terminal.host(), 8090},
                                            client, ftpClient);
        EXPECT_EQ(log.lines, QStringList{reply});
        EXPECT_FALSE(log.error);
        ftp.settle();
    };

    // A fresh install: "pic" does not exist yet.
    query(recordsReply(R"({"time":"t1","path":"/s/IdentifyRecords/day/a.jpg"},)"
                       R"({"time":"../escape","path":"/s/IdentifyRecords/day/x.jpg"},)"
                       R"({"time":"gone","path":"/s/IdentifyRecords/day/none.jpg"},)"
                       R"({"time":"no path"},)"
                       R"({"time":20190629,"path":"/s/IdentifyRecords/day/b.jpg"},)"
                       R"({"time":"t1","path":"/s/IdentifyRecords/day/b.jpg"})"));
    EXPECT_EQ(readFile(QDir(pic).filePath("t1.jpg")), "photo a");
    EXPECT_EQ(readFile(QDir(pic).filePath("20190629.jpg")), "photo b");
    EXPECT_FALSE(QFile::exists(folder.filePath("escape.jpg")));
    // The failed download left nothing, not even a temporary file.
    EXPECT_EQ(QDir(pic).entryList(QDir::Files | QDir::Hidden), (QStringList{"20190629.jpg", "t1.jpg"}));
    EXPECT_EQ(ftp.downloads(), 2);
    EXPECT_EQ(ftp.commands().count("CWD IdentifyRecords"), ftp.connections());
    EXPECT_TRUE(ftp.commands().contains("RETR day/a.jpg"));
    EXPECT_FALSE(ftp.commands().contains("RETR day/x.jpg"));

    // Present photos cause no traffic; the one that failed is tried again.
    {
        QFile present(QDir(pic).filePath("p.jpg"));
        ASSERT_TRUE(present.open(QIODevice::WriteOnly));
        present.write("kept");
    }
    const qsizetype commandsBefore = ftp.commands().size();
    query(recordsReply(R"({"time":"t1","path":"/s/IdentifyRecords/day/a.jpg"},)"
                       R"({"time":"p","path":"/s/IdentifyRecords/day/p.jpg"},)"
                       R"({"time":"gone","path":"/s/IdentifyRecords/day/none.jpg"})"));
    const QStringList later = ftp.commands().mid(commandsBefore);
    EXPECT_EQ(ftp.downloads(), 2);
    EXPECT_EQ(readFile(QDir(pic).filePath("p.jpg")), "kept");
    EXPECT_TRUE(later.filter("day/").size() > 0);
    EXPECT_EQ(later.filter("day/").size(), later.filter("day/none.jpg").size());
}
