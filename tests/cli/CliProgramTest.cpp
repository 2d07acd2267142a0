#include "cli/CliProcess.h"
#include "common/CsvTable.h"
#include "common/TextCodec.h"
#include "device/SiteFile.h"
#include "support/FakeTerminal.h"
#include "support/SimulatorProcess.h"
#include "support/TestFiles.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <memory>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

// Nothing listens there.
const QString kNowhere = QStringLiteral("127.0.23.9");
const QString kToday = QDate::currentDate().toString(Qt::ISODate);
const QString kYesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);

class CliProgramTest : public ::testing::Test
{
protected:
    // A simulator with three records on an address of the test's own, since
    // the tests run in parallel.
    QString startTerminal(int lastOctet)
    {
        const QString address = QStringLiteral("127.0.23.%1").arg(lastOctet);
        terminal = std::make_unique<SimulatorProcess>(address, QStringList{"--records", "3"});
        EXPECT_TRUE(terminal->listening()) << terminal->errors().toStdString();
        return address;
    }

    // A GBK sheet of 20 persons with their photos; row 5 lacks its name, row 9
    // repeats the ID of row 3.
    QString writeSheet()
    {
        QString csv = QStringLiteral("人员ID,姓名,卡号\r\n");
        for (int i = 1; i <= 20; ++i) {
            writeTestFile(photos.filePath(QStringLiteral("%1.jpg").arg(i)), jpegBytes(8, 8, Qt::green));
            csv += QStringLiteral("%1,%2,C%3\r\n")
                       .arg(i == 9 ? 3 : i)
                       .arg(i == 5 ? "" : "员工" + QString::number(i))
                       .arg(i);
        }
        return writeTestFile(photos.filePath(QStringLiteral("persons.csv")), TextCodec::toGbk(csv));
    }

    std::unique_ptr<SimulatorProcess> terminal;
    QTemporaryDir photos;
};

std::vector<nlohmann::json> jsonLines(const QByteArray& out)
{
    std::vector<nlohmann::json> lines;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty())
            lines.push_back(nlohmann::json::parse(line.toStdString()));
    return lines;
}

} // namespace

TEST_F(CliProgramTest, EverySubcommandEndsWithItsStatusAndAFailureWithOneLine)
{
    const QString ip = startTerminal(1);
    const QString csv = writeSheet();
    struct Case
    {
        QStringList arguments;
        int exitStatus;
        QString envPassword = {};
    };
    const QStringList at{"--ip", ip};
    const Case cases[] = {
        {QStringList{"serial"} + at, 0},
        {QStringList{"time"} + at, 0},
        {QStringList{"send", "setTime", "--form", "timestamp=1656388800000"} + at, 0},
        {QStringList{"send", "newFindRecords", "--get", "--form", "startTime=0", "--form", "endTime=0",
                     "--form", "length=1", "--form", "index=0"} +
             at,
         0},
        {QStringList{"records", "--from", kYesterday, "--to", kToday} + at, 0},
        {QStringList{"time", "--password", "wrong"} + at, 1},
        {QStringList{"time"} + at, 1, "wrong"},
        {QStringList{"time", "--password", "58104726"} + at, 0, "wrong"},
        {QStringList{"send", "setTime", "--form", "timestamp=1"} + at, 1, "wrong"},
        {QStringList{"records", "--from", kToday, "--to", kToday} + at, 1, "wrong"},
        {{"serial", "--ip", kNowhere}, 3},
        {{"time", "--ip", kNowhere}, 3},
        {{"records", "--from", kToday, "--to", kToday, "--ip", kNowhere}, 3},
        {{"time"}, 2},
        {{"serial", "--bogus"}, 2},
        {{"bogus"}, 2},
        {{}, 2},
        {QStringList{"send"} + at, 2},
        {QStringList{"send", "setTime", "--form", "novalue"} + at, 2},
        {QStringList{"records", "--from", "2024-13-01", "--to", kToday} + at, 2},
        {QStringList{"enrol", csv} + at, 2},
        {QStringList{"enrol", csv, photos.path(), "--mode", "sometimes"} + at, 2},
        {QStringList{"enrol", csv + ".missing", photos.path()} + at, 2},
        {{"--help"}, 0},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.arguments, c.envPassword);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitStatus, c.exitStatus) << what << "\n" << run.errors.toStdString();
        if (c.exitStatus == 0) {
            EXPECT_TRUE(run.errors.isEmpty()) << what << ": " << run.errors.toStdString();
            EXPECT_FALSE(run.out.isEmpty()) << what;
        } else if (!c.arguments.isEmpty()) {
            EXPECT_TRUE(run.errors.startsWith("quillmoor-cli: ")) << what << ": " << run.errors.toStdString();
            EXPECT_EQ(run.errors.count('\n'), 1) << what << ": " << run.errors.toStdString();
        }
    }
    for (const char* subcommand : {"serial", "time", "send", "enrol", "records", "site"}) {
        const CliRun help = runCli({subcommand, "--help"});
        EXPECT_EQ(help.exitStatus, 0) << subcommand;
        EXPECT_TRUE(help.out.startsWith("Usage: quillmoor-cli " + QByteArray(subcommand))) << help.out.data();
    }
}

TEST_F(CliProgramTest, EnrolOfAGbkSheetImportsTheValidRowsAndItsReportSaysWhyTheOthersNot)
{
    const QString ip = startTerminal(2);
    const QString report = photos.filePath(QStringLiteral("report.csv"));
    const CliRun run = runCli({"enrol", writeSheet(), photos.path(), "--ip", ip, "--report", report});
    EXPECT_EQ(run.exitStatus, 1) << run.errors.toStdString();
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const CsvTable table = ReadCsv(file.readAll());
    EXPECT_EQ(table.header, QStringList({"人员ID", "姓名", "照片", "状态", "说明"}));
    ASSERT_EQ(table.rows.size(), 20u);
    for (std::size_t at = 0; at < table.rows.size(); ++at) {
        const QString why = at == 4 ? "缺少姓名" : at == 8 ? "人员ID重复" : "";
        EXPECT_EQ(table.rows[at].mid(3), QStringList({why.isEmpty() ? "成功" : "无效", why})) << at;
    }
}

TEST_F(CliProgramTest, RecordsComeAsCsvWithTheirPhotosFetchedOverFtp)
{
    const QString ip = startTerminal(3);
    const CliRun run =
        runCli({"records", "--ip", ip, "--from", kYesterday, "--to", kToday, "--photos", photos.path()});
    ASSERT_EQ(run.exitStatus, 0) << run.errors.toStdString();
    const CsvTable table = ReadCsv(run.out);
    const auto photo = table.column({"photo"});
    ASSERT_TRUE(photo && table.column({"time"}));
    ASSERT_EQ(table.rows.size(), 3u);
    for (const QStringList& row : table.rows) {
        QFile file(CsvTable::field(row, photo));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << row.join(',').toStdString();
        EXPECT_TRUE(file.readAll().startsWith("\xFF\xD8")) << row.join(',').toStdString();
    }
}

TEST_F(CliProgramTest, JsonOutputIsOneObjectALine)
{
    const QStringList at{"--ip", startTerminal(4), "--json"};
    const auto serial = jsonLines(runCli(QStringList{"serial"} + at).out);
    ASSERT_EQ(serial.size(), 1u);
    EXPECT_FALSE(serial[0].at("serial").get<std::string>().empty());
    EXPECT_EQ(
        jsonLines(runCli(QStringList{"time"} + at).out).at(0).at("timestamp").get<std::string>().substr(10),
        "000");
    EXPECT_TRUE(jsonLines(runCli(QStringList{"send", "setTime", "--form", "timestamp=1"} + at).out)
                    .at(0)
                    .at("reply")
                    .at("success")
                    .get<bool>());
    const auto records =
        jsonLines(runCli(QStringList{"records", "--from", kYesterday, "--to", kToday} + at).out);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[2].contains("path"));
    const auto rows =
        jsonLines(runCli(QStringList{"enrol", writeSheet(), photos.path(), "--mode", "overwrite"} + at).out);
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(rows[4].at("state"), "invalid");
    EXPECT_EQ(rows[20].at("summary").at("invalid"), 2);
}

TEST_F(CliProgramTest, CtrlCStopsAfterTheCommandUnderWayAndStillWritesTheReport)
{
    // Every person is there already, so each row is one find, answered slowly
    // enough for the interrupt to come while the first is under way.
    FakeTerminal slow(51, 8090, "127.0.23.");
    slow.setDefaultReply(
        TerminalReply::json(R"({"success":true,"data":"ABC123"})").after(std::chrono::seconds(2)));
    const QString report = photos.filePath(QStringLiteral("report.csv"));
    QProcess enrol;
    endsWithTest(enrol);
    enrol.start(QStringLiteral(QUILLMOOR_CLI_PROGRAM),
                {"enrol", writeSheet(), photos.path(), "--ip", slow.host(), "--report", report});
    ASSERT_TRUE(slow.waitForRequests(1));
    ::kill(static_cast<pid_t>(enrol.processId()), SIGINT);
    ASSERT_TRUE(enrol.waitForFinished(60000));
    EXPECT_EQ(enrol.exitCode(), 1);
    EXPECT_TRUE(enrol.readAllStandardError().contains("interrupted"));
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const CsvTable table = ReadCsv(file.readAll());
    ASSERT_EQ(table.rows.size(), 20u);
    EXPECT_EQ(table.rows.front().value(3), "已跳过");
    EXPECT_EQ(table.rows.back().value(3), "已取消");
}

TEST_F(CliProgramTest, SiteChecksAndAppliesOverASimulatedSite)
{
    SimulatorProcess site(QStringLiteral("127.0.23.20"), {"--count", "4", "--password-for", "127.0.23.23=other"});
    ASSERT_TRUE(site.listening()) << site.errors().toStdString();
    const QString csv = photos.filePath("site.csv");
    writeTestFile(csv, TextCodec::toGbk(QStringLiteral("名称,IP,密码\r\n东门,127.0.23.20,58104726\r\n"
                                                       ",127.0.23.21,x\r\n,127.0.23.22,58104726\r\n")));
    const QString nowhere = writeTestFile(photos.filePath("nowhere.csv"), "IP\r\n127.0.23.9\r\n");
    WriteSiteFile(photos.filePath("site.json"), {{"", "127.0.23.20", "58104726"}, {"", "127.0.23.23", "other"}});
    const QString ini = writeTestFile(photos.filePath("Horavel.ini"),
                                      "[Dovarin]\r\nheartbeat=http://127.0.23.99:8090/heartBeat\r\n");
    const struct
    {
        QStringList arguments;
        int exitStatus;
    } cases[] = {
        {{"site", "check", photos.filePath("site.json")}, 0},
        {{"site", "check", csv, "--parallel", "2"}, 1},
        {{"site", "check", nowhere}, 3},
        {{"site", "apply", photos.filePath("site.json"), "--time", "--config-from", ini}, 0},
        {{"site", "apply", csv}, 2},
        {{"site", "check", csv, "--parallel", "0"}, 2},
        {{"site", "audit", csv}, 2},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli(c.arguments);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << c.arguments.join(' ').toStdString() << run.errors.toStdString();
    }
    const auto checked = jsonLines(runCli({"site", "check", csv, "--json"}).out);
    ASSERT_EQ(checked.size(), 3u);
    EXPECT_EQ(checked[0].at("serial"), "QM7F001714");
    EXPECT_EQ(checked[1].at("result"), "密码错误");
    EXPECT_TRUE(checked[2].at("succeeded").get<bool>());
    EXPECT_TRUE(site.output().contains("setDeviceHeartBeat -> ok"));
}
