#include "common/CsvTable.h"
#include "app/LogView.h"
#include "common/TextCodec.h"
#include "support/FakeTerminal.h"
#include "support/SimulatorProcess.h"
#include "support/TestFiles.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Types path into the next file dialog, once it is open, and accepts it.
void whenFileDialog(const QString& path)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    timer->start(10);
}

// A window with its bulk enrolment dialog open, photos in a folder of the test.
class BulkEnrol : public WindowTest
{
protected:
    BulkEnrol()
    {
        show();
        QDir(folder.path()).mkdir("photos");
        photos = folder.filePath("photos");
        click("btnBulkEnrol");
    }

    void click(const char* button) { QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton); }

    void connectTo(const QString& host)
    {
        field<QLineEdit>("edtIP")->setText(host);
        click("btnLink");
        ASSERT_EQ(field<QPushButton>("btnLink")->text(), u("销毁连接"));
    }

    // Writes the CSV in GBK, as Chinese Excel saves it, and checks it.
    void check(const QString& csv)
    {
        const QString path = writeTestFile(folder.filePath("persons.csv"), TextCodec::toGbk(csv));
        field<QLineEdit>("edtBulkCsv")->setText(path);
        field<QLineEdit>("edtBulkPhotos")->setText(photos);
        recheck();
    }
    // The check runs off the window thread too.
    void recheck()
    {
        click("btnBulkCheck");
        ASSERT_TRUE(QTest::qWaitFor([&] { return field<QPushButton>("btnBulkCheck")->isEnabled(); }, 30000));
    }

    // n persons P1.., each with a photo of their own, as CSV rows.
    QString persons(int n, const char* name = "员工")
    {
        QString csv;
        for (int i = 1; i <= n; ++i) {
            writeTestFile(QDir(photos).filePath(QStringLiteral("P%1.jpg").arg(i)),
                          jpegBytes(16 + i % 8, 16, QColor::fromHsv(i * 7 % 360, 200, 200)));
            csv += QStringLiteral("P%1,%2%1,C%1,2030-01-0%3,\r\n")
                       .arg(QString::number(i), u(name), QString::number(1 + i % 9));
        }
        return u("人员ID,姓名,卡号,有效期,照片\r\n") + csv;
    }

    // Runs the import (or the retry) to its end, the window serving meanwhile.
    void import(const char* button = "btnBulkStart")
    {
        click(button);
        ASSERT_TRUE(QTest::qWaitFor([&] { return field<QPushButton>("btnBulkStart")->isEnabled(); }, 60000));
    }

    QStringList column(int at)
    {
        QAbstractItemModel* model = field<QTableView>("tblBulk")->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, at).data().toString();
        return texts;
    }
    QString summary() { return field<QLabel>("lblBulkSummary")->text(); }

    QString photos;
};

class BulkEnrolSimulator : public BulkEnrol
{
protected:
    void start(const char* address, const QStringList& extra = {})
    {
        terminal = std::make_unique<SimulatorProcess>(address, extra);
        ASSERT_TRUE(terminal->listening()) << terminal->errors().toStdString();
        connectTo(address);
    }
    int handled(const char* command)
    {
        return terminal->output().count(QString::fromLatin1(command) + " -> ");
    }

    std::unique_ptr<SimulatorProcess> terminal;
};

} // namespace

TEST_F(BulkEnrol, ARowSendsWhatTheSingleButtonsSendWithItsValuesTyped)
{
    FakeTerminal terminal(1, 8090, "127.0.41.");
    connectTo(terminal.host());
    const QString photo = writeTestFile(QDir(photos).filePath("9.jpg"), jpegBytes(30, 20, Qt::darkGreen));
    const TerminalReply absent = TerminalReply::json(u(R"({"success":false,"msg":"人员不存在"})"));
    const TerminalReply present = TerminalReply::json(R"({"success":true,"data":{"id":"9"}})");
    const TerminalReply ok = TerminalReply::json(R"({"success":true})");
    field<QCheckBox>("chkEasyWay")->setChecked(true);
    field<QCheckBox>("chkBulkEasyWay")->setChecked(true);
    for (const auto& [mode, buttons] : {std::pair{0, QStringList{"btn6", "btn3", "btn21", "btn13"}},
                                        std::pair{1, QStringList{"btn6", "btn4", "btn21", "btn7"}}}) {
        field<QLineEdit>("edtEmpID")->setText("9");
        field<QLineEdit>("edtEmpName")->setText(u("张三"));
        field<QLineEdit>("edtCardID")->setText("C9");
        field<QLineEdit>("edtFaceID")->setText("9");
        field<QDateTimeEdit>("dtpValidDate")->setDateTime(QDateTime(QDate(2030, 1, 2), QTime(23, 59, 59)));
        whenFileDialog(photo);
        click("btn10");
        for (int round = 0; round < 2; ++round)
            terminal.then(mode == 0 ? absent : present).then(ok).then(ok).then(ok);
        const int before = terminal.requestCount();
        for (const QString& button : buttons)
            click(button.toLatin1().constData());
        check(u("人员ID,姓名,卡号,有效期\r\n9,张三,C9,2030-01-02\r\n"));
        field<QComboBox>("cbBulkMode")->setCurrentIndex(mode);
        import();
        const std::vector<RecordedRequest> sent = terminal.requests();
        ASSERT_EQ(sent.size(), std::size_t(before + 8));
        for (int at = 0; at < 4; ++at)
            EXPECT_EQ(sent[before + 4 + at].raw, sent[before + at].raw) << mode << " " << at;
        EXPECT_EQ(column(3), QStringList{u("成功")});
    }
    const QList<TrafficRecord> traffic = window.trafficLog().since(0);
    EXPECT_EQ(std::count_if(traffic.begin(), traffic.end(),
                            [](const TrafficRecord& record) { return record.context == "bulkEnrolDialog"; }),
              8);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(BulkEnrolSimulator, ValidRowsGoOnTheTerminalAndInvalidOnesSendNothing)
{
    start("127.0.41.10");
    writeTestFile(QDir(photos).filePath("bad.jpg"), "no picture");
    writeTestFile(QDir(photos).filePath("big.jpg"), jpegBytes(8, 8, Qt::red) + QByteArray(3 << 20, '\0'));
    check(persons(50) +
          u(",无名\r\nP51,\r\nP1,重复\r\nX1,无照\r\nX2,坏照,,,bad.jpg\r\nX3,大照,,,big.jpg\r\n"));
    EXPECT_EQ(column(3).count(u("待导入")), 50);
    EXPECT_EQ(column(4).mid(50), (QStringList{u("缺少人员ID"), u("缺少姓名"), u("人员ID重复"),
                                              u("找不到照片"), u("照片无法读取"), u("照片过大")}));
    import();
    EXPECT_EQ(summary(), u("成功 50，失败 0，跳过 0"));
    EXPECT_EQ(field<QProgressBar>("pbBulk")->text(), "50 / 50");
    EXPECT_EQ(handled("person/find"), 50);
    EXPECT_EQ(handled("person/create"), 50);
    EXPECT_EQ(handled("person/permissionsCreate"), 50);
    EXPECT_EQ(handled("face"), 50);
    EXPECT_EQ(terminal->output().count("-> refused"), 50);
    EXPECT_TRUE(field<LogView>("mmoLog1")->toPlainText().contains(u("P50 员工50 成功")));

    // Again over the same persons: skipped without a create, or overwritten.
    recheck();
    import();
    EXPECT_EQ(summary(), u("成功 0，失败 0，跳过 50"));
    EXPECT_EQ(handled("person/create"), 50);
    check(persons(3, "新名"));
    field<QComboBox>("cbBulkMode")->setCurrentIndex(1);
    import();
    EXPECT_EQ(summary(), u("成功 3，失败 0，跳过 0"));
    EXPECT_EQ(terminal->output().count("person/update -> ok"), 3);
    EXPECT_EQ(terminal->output().count("face/update -> ok"), 3);

    const QString exported = folder.filePath("out.csv");
    whenFileDialog(exported);
    click("btnBulkExport");
    QFile file(exported);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const CsvTable table = ReadCsv(file.readAll());
    EXPECT_EQ(table.header, (QStringList{u("人员ID"), u("姓名"), u("照片"), u("状态"), u("说明")}));
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[2], (QStringList{"P3", u("新名3"), "P3.jpg", u("成功"), ""}));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(BulkEnrolSimulator, FailedRowsShowTheMsgAndARetryMakesThemSucceed)
{
    start("127.0.41.11", {"--fail-every", "7", "face", "--drop-every", "8", "person/create"});
    check(persons(15));
    import();
    EXPECT_EQ(summary(), u("成功 13，失败 2，跳过 0"));
    EXPECT_EQ(column(4)[6], u("创建人脸: 模拟故障: 第7次face"));
    EXPECT_EQ(column(3)[13], u("失败"));
    // Each dropped create was sent again and went through.
    EXPECT_EQ(handled("person/create"), 15);
    import("btnBulkRetry");
    EXPECT_EQ(summary(), u("成功 15，失败 0，跳过 0"));
    // A refused face never reached the terminal's face command.
    EXPECT_EQ(handled("face"), 15);
    EXPECT_EQ(handled("person/create"), 15);
}

TEST_F(BulkEnrolSimulator, ACancelStopsMidwayAndTheRetryFinishes)
{
    start("127.0.41.12");
    check(persons(60));
    click("btnBulkStart");
    ASSERT_TRUE(QTest::qWaitFor([&] { return field<QProgressBar>("pbBulk")->value() >= 3; }, 20000));
    // The window goes on working meanwhile.
    click("btngetdevicekey");
    click("btnBulkCancel");
    ASSERT_TRUE(QTest::qWaitFor([&] { return field<QPushButton>("btnBulkStart")->isEnabled(); }, 20000));
    const int cancelled = column(3).count(u("已取消"));
    EXPECT_GT(cancelled, 0);
    EXPECT_EQ(column(3).count(u("成功")) + cancelled, 60);
    EXPECT_EQ(field<QProgressBar>("pbBulk")->value(), 60);
    import("btnBulkRetry");
    EXPECT_EQ(summary(), u("成功 60，失败 0，跳过 0"));
    EXPECT_EQ(handled("person/create"), 60);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(BulkEnrol, AnUnreadableSheetShowsOneMessageAndTheTemplateHasTheChineseHeader)
{
    check(u("人员ID,卡号\r\n1,2\r\n"));
    EXPECT_EQ(errors, QStringList{u("CSV 缺少列: 姓名")});
    EXPECT_EQ(column(0), QStringList());
    // Nothing is sent before the window has a terminal.
    check(persons(1));
    click("btnBulkStart");
    EXPECT_EQ(errors.value(1), u("请先在“设备管理类”页连接终端"));
    EXPECT_EQ(column(3), QStringList{u("待导入")});
    EXPECT_FALSE(field<QDialog>("bulkEnrolDialog")->isModal());
    EXPECT_EQ(field<QDialog>("bulkEnrolDialog")->windowTitle(), u("批量导入人员"));

    const QString path = folder.filePath("template.csv");
    whenFileDialog(path);
    click("btnBulkTemplate");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              "\xEF\xBB\xBF" + u("\"人员ID\",\"姓名\",\"卡号\",\"有效期\",\"照片\"\r\n").toUtf8());
}
