// The main window as a whole: its pages, its log panes, the hidden Shift+F6
// command and the general error box.
#include "app/LogView.h"
#include "support/WindowTest.h"
#include "common/Failure.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class MainWindow : public WindowTest
{
protected:
    void showActive()
    {
        show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

struct Pane
{
    const char* name;
    const char* page;
    int height;
    bool scrollBar;
};

const Pane kPanes[] = {
    {"mmoLog", "ts1", 120, false},  {"mmoLog1", "ts2", 232, true},     {"mmoLog2", "ts4", 416, false},
    {"mmoLog3", "ts3", 392, false}, {"mmMsg", "TabSheet1", 160, true}, {"mmLog", "TabSheet5", 276, true},
};

} // namespace

TEST_F(MainWindow, CaptionAndPagesInTabOrder)
{
    show();
    EXPECT_EQ(window.windowTitle(), u("局域网版人脸机调试工具(Quillmoor)V2.1(220628)"));
    EXPECT_EQ(window.windowIcon().availableSizes(), (QList<QSize>{{48, 48}, {256, 256}}));

    auto* pgc1 = field<QTabWidget>("pgc1");
    ASSERT_NE(pgc1, nullptr);
    const std::pair<const char*, const char*> pages[] = {
        {"ts1", "设备管理类"}, {"ts2", "人员照片类"},     {"ts4", "识别记录"},
        {"ts3", "其他"},       {"TabSheet1", "人脸消费"}, {"TabSheet5", "测温口罩"}};
    ASSERT_EQ(pgc1->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pgc1->widget(i)->objectName(), pages[i].first) << i;
        EXPECT_EQ(pgc1->tabText(i), u(pages[i].second)) << i;
    }
    EXPECT_EQ(pgc1->currentIndex(), 0);

    auto* inner = field<QTabWidget>("PageControl1");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->parentWidget()->objectName(), "TabSheet1");
    const std::pair<const char*, const char*> innerPages[] = {
        {"TabSheet2", "参数类"}, {"TabSheet3", "任务类"}, {"TabSheet4", "消费类"}};
    ASSERT_EQ(inner->count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(inner->widget(i)->objectName(), innerPages[i].first) << i;
        EXPECT_EQ(inner->tabText(i), u(innerPages[i].second)) << i;
    }
    EXPECT_EQ(inner->currentWidget()->objectName(), "TabSheet2");
}

TEST_F(MainWindow, GroupsSitAtTheirBoundsInsideTheirPages)
{
    show();
    const std::tuple<const char*, const char*, QRect> groups[] = {
        {"GroupBox1", "TabSheet2", {3, 4, 370, 109}},   {"GroupBox4", "TabSheet3", {9, 48, 968, 383}},
        {"GroupBox8", "TabSheet4", {504, 0, 488, 139}}, {"GroupBox11", "TabSheet4", {504, 368, 488, 64}},
        {"GroupBox13", "TabSheet5", {11, 4, 353, 330}}, {"GroupBox14", "TabSheet5", {392, 4, 593, 330}},
    };
    for (const auto& [name, pageName, bounds] : groups) {
        auto* group = field<QGroupBox>(name);
        auto* page = field(pageName);
        ASSERT_TRUE(group && page);
        // Bounds count from the page's top left corner, where its body starts.
        EXPECT_EQ(QRect(group->mapTo(page, QPoint(0, 0)), group->size()), bounds) << name;
    }
}

TEST_F(MainWindow, EveryLogPaneIsEmptyOnceShownAndKeepsItsScrollBarChoice)
{
    for (const Pane& pane : kPanes)
        field<LogView>(pane.name)->appendLine("left over");
    show();
    for (const Pane& pane : kPanes) {
        auto* edit = field<LogView>(pane.name);
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->toPlainText().isEmpty()) << pane.name;
        EXPECT_EQ(edit->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, pane.scrollBar) << pane.name;
    }
}

TEST_F(MainWindow, FieldsOfTheConsumptionAndTemperaturePagesStartAtTheirDefaults)
{
    show();
    EXPECT_EQ(field<QComboBox>("cbvolume")->currentText(), "5");

    auto* cbTask = field<QComboBox>("cbTask");
    EXPECT_EQ(cbTask->currentText(), u("服务器地址设置任务"));
    EXPECT_EQ(cbTask->currentIndex(), -1);

    auto* cbResult2 = field<QComboBox>("cbResult2");
    EXPECT_EQ(cbResult2->currentIndex(), -1);
    EXPECT_EQ(cbResult2->currentText(), u("1:查询成功"));

    auto* list = field<QTreeWidget>("lvDinLevTimes");
    ASSERT_EQ(list->topLevelItemCount(), 6);
    EXPECT_EQ(list->columnCount(), 8);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(list->topLevelItem(row)->checkState(0), Qt::Unchecked) << row;

    EXPECT_FALSE(field("gpsetServerAddress")->isHidden());
    for (const char* name :
         {"gpworkConfig", "gptradeTimeinterval", "gpreadConsumeRecords", "gppersoncreate", "gppersondelete",
          "gppersonfindByPage", "gppersonpermissionTime", "gpfacecreateByUrl", "gpfacedelete"})
        EXPECT_TRUE(field(name)->isHidden()) << name;

    EXPECT_TRUE(field("Panel1")->isHidden());
}

TEST_F(MainWindow, ShiftF6AnywhereInThePagesShowsAndHidesTheTemperaturePanel)
{
    showActive();
    auto* pgc1 = field<QTabWidget>("pgc1");
    QWidget* panel = field("Panel1");
    ASSERT_TRUE(panel->isHidden());

    // From the temperature page itself.
    pgc1->setCurrentIndex(5);
    auto* mmLog = field<LogView>("mmLog");
    mmLog->setFocus();
    QTest::keyClick(mmLog, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_FALSE(panel->isHidden());
    EXPECT_TRUE(panel->isVisible());
    QTest::keyClick(mmLog, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(panel->isHidden());

    // From a field of another page: the panel flips although its page is not shown.
    pgc1->setCurrentIndex(4);
    field<QTabWidget>("PageControl1")->setCurrentIndex(1);
    auto* serverUrl = field<QWidget>("edtserverurl2");
    serverUrl->setFocus();
    QTest::keyClick(serverUrl, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_FALSE(panel->isHidden());
    QTest::keyClick(serverUrl, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(panel->isHidden());

    // The buttons of the temperature group stay put either way.
    EXPECT_FALSE(field("Button4")->isHidden());
    EXPECT_FALSE(field("Button5")->isHidden());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindow, PopupMenuOfThePagesShowsNoEntry)
{
    show();
    auto* menu = field<QMenu>("PopupMenu1");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    QAction* n1 = menu->actions().first();
    EXPECT_EQ(n1->objectName(), "N1");
    EXPECT_EQ(n1->text(), u("显示测温参数"));
    EXPECT_EQ(n1->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
    EXPECT_FALSE(n1->isVisible());

    auto* pgc1 = field<QTabWidget>("pgc1");
    emit pgc1->customContextMenuRequested(QPoint(20, 40));
    EXPECT_TRUE(menu->actionGeometry(n1).isEmpty());
    menu->close();
}

TEST_F(MainWindow, LogPanesKeepTheirHeightAndFollowTheWindowWidth)
{
    show();
    auto* pgc1 = field<QTabWidget>("pgc1");
    for (const QSize size : {QSize(1300, 820), QSize(800, 560), QSize(1018, 648)}) {
        window.resize(size);
        for (int i = 0; i < pgc1->count(); ++i) {
            pgc1->setCurrentIndex(i);
            QApplication::processEvents();
            for (const Pane& pane : kPanes) {
                QWidget* page = pgc1->widget(i);
                if (page->objectName() != pane.page)
                    continue;
                auto* edit = field<LogView>(pane.name);
                EXPECT_EQ(edit->height(), pane.height) << pane.name;
                EXPECT_EQ(edit->width(), page->width()) << pane.name;
                EXPECT_EQ(edit->mapTo(page, QPoint(0, edit->height())).y(), page->height()) << pane.name;
            }
        }
    }
}

TEST_F(MainWindow, AnUncaughtFailureReachesTheErrorBoxAndEarlierLinesStay)
{
    show();
    auto* mmMsg = field<LogView>("mmMsg");
    window.runHandler([mmMsg] {
        TfrmMain::appendLine(mmMsg, "before");
        throw Failure("x");
    });
    EXPECT_EQ(errors, QStringList{"x"});
    EXPECT_EQ(mmMsg->toPlainText(), "before");

    // The window stays usable: the next action runs normally.
    window.runHandler([mmMsg] { TfrmMain::appendLine(mmMsg, "after"); });
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(mmMsg->toPlainText(), "before\nafter");
}

TEST_F(MainWindow, AppendLineAddsWholeLinesAndNothingElse)
{
    show();
    auto* mmLog = field<LogView>("mmLog");
    TfrmMain::appendLine(mmLog, QString());
    TfrmMain::appendLine(mmLog, u("设置失败"));
    TfrmMain::appendLine(mmLog, "two\nlines");
    TfrmMain::appendLine(mmLog, QString());
    EXPECT_EQ(mmLog->toPlainText(), u("\n设置失败\ntwo\nlines\n"));
    EXPECT_EQ(mmLog->lineCount(), 5);

    auto* mmMsg = field<LogView>("mmMsg");
    TfrmMain::appendLine(mmMsg, QString());
    TfrmMain::appendLine(mmMsg, QString());
    EXPECT_EQ(mmMsg->lineCount(), 2);
}
