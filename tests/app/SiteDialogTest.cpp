#include "device/ConnectionCommands.h"
#include "device/RecognitionConfig.h"
#include "support/FakeTerminal.h"
#include "support/SimulatorProcess.h"
#include "support/TestFiles.h"
#include "support/WindowTest.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kNetwork = QStringLiteral("127.0.60.");
// Where the window's callback server listens for the site's callbacks.
const QString kServer = QStringLiteral("http://127.0.60.100:8090");
enum Column
{
    Name,
    Ip,
    Serial,
    Status,
    LastHeartbeat,
    Heartbeats,
    Recognitions,
    Consumptions,
    Result
};

class Site : public WindowTest
{
protected:
    Site()
    {
        show();
        click("btnSite");
    }

    void click(const char* button) { QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton); }
    void type(const char* edit, const QString& text) { field<QLineEdit>(edit)->setText(text); }

    void add(int terminal, const QString& password = QStringLiteral("58104726"))
    {
        type("edtSiteName", QStringLiteral("终端%1").arg(terminal));
        type("edtSiteIP", kNetwork + QString::number(terminal));
        type("edtSitePassword", password);
        click("btnSiteAdd");
    }

    QTableView* table() { return field<QTableView>("tblSite"); }
    QStringList column(Column at)
    {
        QStringList texts;
        for (int row = 0; row < table()->model()->rowCount(); ++row)
            texts << table()->model()->index(row, at).data().toString();
        return texts;
    }
    void select(std::initializer_list<int> rows)
    {
        table()->clearSelection();
        for (const int row : rows)
            table()->selectionModel()->select(table()->model()->index(row, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // Runs a check or an apply to its end, the window serving meanwhile.
    void run(const char* button)
    {
        click(button);
        ASSERT_TRUE(QTest::qWaitFor([&] { return field<QPushButton>("btnSiteCheck")->isEnabled(); }, 60000));
    }
    void apply(std::initializer_list<const char*> actions)
    {
        for (QCheckBox* box : field<QDialog>("siteDialog")->findChildren<QCheckBox*>())
            box->setChecked(std::find(actions.begin(), actions.end(), box->objectName()) != actions.end());
        run("btnSiteApply");
    }
};

// The recognition configuration the terminal at that address holds now.
QString heldConfig(const QString& address)
{
    HttpClient client("application/x-www-form-urlencoded");
    client.setTimeoutMs(5000);
    return QueryRecognitionConfig({address, 8090}, QStringLiteral("58104726"), client).lines.join('\n');
}

} // namespace

TEST_F(Site, ChecksAppliesAndFollowsTheCallbacksOfASimulatedSite)
{
    auto terminals = std::make_unique<SimulatorProcess>(kNetwork + "1", QStringList{"--count", "8"});
    ASSERT_TRUE(terminals->listening()) << terminals->errors().toStdString();
    for (int terminal = 1; terminal <= 6; ++terminal)
        add(terminal);
    add(7, QStringLiteral("wrong"));
    add(20);
    run("btnSiteCheck");
    const QStringList serials = column(Serial);
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(serials[row], QStringLiteral("QM7F00%1").arg(0x3C00 + row + 1, 4, 16).toUpper()) << row;
        EXPECT_TRUE(column(Result)[row].startsWith(u("正常 "))) << row;
    }
    EXPECT_EQ(serials[6], "");
    EXPECT_EQ(column(Result)[6], u("密码错误"));
    EXPECT_EQ(serials[7], "");
    EXPECT_FALSE(column(Result)[7].isEmpty());

    type("edtcompanyName", u("站点一号"));
    table()->selectAll();
    apply({"chkSiteTime", "chkSiteConfig"});
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(column(Result)[row], u("校时 成功；识别参数 成功")) << row;
        EXPECT_TRUE(heldConfig(kNetwork + QString::number(row + 1)).contains(u("站点一号"))) << row;
    }
    EXPECT_EQ(column(Result)[6], u("校时 失败: 密码错误；识别参数 失败: 密码错误"));
    EXPECT_FALSE(heldConfig(kNetwork + "7").contains(u("站点一号")));
    EXPECT_TRUE(column(Result)[7].startsWith(u("校时 失败: "))) << column(Result)[7].toStdString();
    EXPECT_TRUE(column(Result)[7].endsWith(u("识别参数 未执行")));

    // The window's server takes the heartbeats, one a second from each terminal.
    type("edtIP1", "127.0.60.100");
    type("edtPort", "8090");
    click("btn8");
    const char* callbacks[] = {"edtcallback", "edtheartbeat", "edtimgregcallback", "edtCodecallback",
                               "edtsetTaskInterfaceAddress", "edtsetTaskProcessingResultsAddress"};
    for (const char* edit : callbacks)
        type(edit, kServer + "/device/heartBeat");
    type("edtserverurl", kServer + "/api");
    type("edtinterval", "1");
    add(8);
    select({0, 1, 2, 3, 4, 5, 8});
    apply({"chkSiteCallbacks", "chkSiteService"});
    EXPECT_EQ(column(Result)[8], u("回调地址 成功；在线消费地址 成功"));
    select({8});
    click("btnSiteRemove");
    const auto online = [&] {
        const QStringList status = column(Status);
        return status.mid(0, 6) == QStringList(6, u("在线")) && status.value(6) == u("未知") &&
               status.value(7) == u("未知") && status.value(8) == u("未登记");
    };
    ASSERT_TRUE(QTest::qWaitFor(online, 10000)) << column(Status).join(',').toStdString();
    EXPECT_EQ(column(Ip)[8], kNetwork + "8");
    EXPECT_FALSE(column(LastHeartbeat)[0].isEmpty());
    EXPECT_GE(column(Heartbeats)[0].toInt(), 1);
    select({8});
    EXPECT_EQ(field<QLineEdit>("edtSiteIP")->text(), kNetwork + "8");

    terminals.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return column(Status)[0] == u("离线"); }, 4500));
}

TEST_F(Site, TheListSurvivesARestartAndADamagedFileIsKeptAside)
{
    add(1);
    add(2, QStringLiteral("other"));
    const QString path = QDir(folder.path()).filePath("site.json");
    EXPECT_EQ(fileMode(path), 0600);
    destroyWindow();

    TfrmMain restarted;
    restarted.setProgramFolder(folder.path());
    restarted.setErrorPresenter([this](const QString& text) { errors << text; });
    restarted.show();
    QTest::mouseClick(restarted.findChild<QPushButton*>("btnSite"), Qt::LeftButton);
    QAbstractItemModel* model = restarted.findChild<QTableView*>("tblSite")->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(1, Ip).data().toString(), kNetwork + "2");
    EXPECT_TRUE(errors.isEmpty());
    QFile::remove(path);
    writeTestFile(path, "{\"terminals\": [{\"ip\": ");

    TfrmMain damaged;
    damaged.setProgramFolder(folder.path());
    damaged.setErrorPresenter([this](const QString& text) { errors << text; });
    damaged.show();
    QTest::mouseClick(damaged.findChild<QPushButton*>("btnSite"), Qt::LeftButton);
    EXPECT_EQ(damaged.findChild<QTableView*>("tblSite")->model()->rowCount(), 0);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("site.json.bad"));
    EXPECT_TRUE(QFile::exists(path + ".bad"));
}

TEST_F(Site, AnAppliedConfigurationIsTheBytesOfTheSingleButton)
{
    FakeTerminal single(201, 8090, "127.0.60.");
    FakeTerminal applied(202, 8090, "127.0.60.");
    type("edtIP", single.host());
    click("btnLink");
    type("edtcompanyName", u("东门"));
    click("btnsetconfig");
    ASSERT_TRUE(single.waitForRequests(2));
    add(202);
    select({0});
    apply({"chkSiteConfig"});
    ASSERT_EQ(applied.requestCount(), 1);
    QByteArray expected = single.lastRequest().raw;
    expected.replace(single.host().toLatin1(), applied.host().toLatin1());
    EXPECT_EQ(applied.lastRequest().raw, expected);
    EXPECT_EQ(field<QTableView>("tblSite")->model()->index(0, Result).data().toString(), u("识别参数 成功"));

    // Closing the window in the middle of a check ends the request under way.
    applied.setDefaultReply(TerminalReply::silence());
    click("btnSiteCheck");
    ASSERT_TRUE(applied.waitForRequests(2));
    destroyWindow();
}
