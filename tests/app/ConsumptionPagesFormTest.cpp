// The forms of the face consumption pages and of the temperature and mask page:
// where their groups sit, which fields they hold and what those fields show at
// start, since the terminal receives exactly these values.
#include "support/WindowTest.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class ConsumptionForms : public WindowTest
{
protected:
    ConsumptionForms() { show(); }

    QString text(const char* name)
    {
        QLineEdit* edit = field<QLineEdit>(name);
        return edit ? edit->text() : QString();
    }
};

QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

struct Bounds
{
    const char* group;
    const char* parent;
    const char* title;
    QRect rect;
};

} // namespace

TEST_F(ConsumptionForms, GroupsSitAtTheirBoundsWithTheirTitles)
{
    const Bounds bounds[] = {
        {"GroupBox1", "TabSheet2Body", "联机服务设置", {3, 4, 370, 109}},
        {"GroupBox2", "TabSheet2Body", "串口屏固件升级", {377, 4, 488, 48}},
        {"GroupBox3", "TabSheet3Body", "心跳回复", {9, 0, 184, 42}},
        {"GroupBox4", "TabSheet3Body", "任务回复", {9, 48, 968, 383}},
        {"GroupBox5", "TabSheet4Body", "个人账户查询请求返回", {4, 0, 488, 140}},
        {"GroupBox6", "TabSheet4Body", "在线支付交易接口返回", {4, 142, 488, 177}},
        {"GroupBox7", "TabSheet4Body", "查询交易记录返回", {4, 326, 488, 107}},
        {"GroupBox8", "TabSheet4Body", "撤销交易返回", {504, 0, 488, 139}},
        {"GroupBox9", "TabSheet4Body", "餐段汇总返回", {504, 144, 488, 105}},
        {"GroupBox10", "TabSheet4Body", "在线核验返回", {504, 256, 488, 105}},
        {"GroupBox11", "TabSheet4Body", "在线核验确认返回", {504, 368, 488, 64}},
        {"GroupBox13", "TabSheet5Body", "口罩", {11, 4, 353, 330}},
        {"GroupBox14", "TabSheet5Body", "测温参数", {392, 4, 593, 330}},
    };
    for (const Bounds& b : bounds) {
        auto* group = field<QGroupBox>(b.group);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->parentWidget()->objectName(), b.parent) << b.group;
        EXPECT_EQ(group->geometry(), b.rect) << b.group;
        EXPECT_EQ(group->title(), u(b.title)) << b.group;
    }
    auto* label = field<QLabel>("Label116");
    EXPECT_EQ(label->geometry(), QRect(381, 64, 135, 13));
    EXPECT_EQ(label->text(), u("修改日期：2021-11-29"));
}

TEST_F(ConsumptionForms, TemperaturePanelIsHiddenAndItsButtonsLieOutsideIt)
{
    auto* panel = field("Panel1");
    EXPECT_EQ(panel->parentWidget()->objectName(), "GroupBox14");
    EXPECT_EQ(panel->geometry(), QRect(8, 21, 577, 257));
    EXPECT_TRUE(panel->isHidden());
    for (const char* name : {"Button4", "Button5"}) {
        auto* button = field<QPushButton>(name);
        EXPECT_EQ(button->parentWidget()->objectName(), "GroupBox14") << name;
        EXPECT_FALSE(button->isHidden()) << name;
        EXPECT_FALSE(panel->geometry().intersects(button->geometry())) << name;
    }
    EXPECT_EQ(field<QPushButton>("Button4")->text(), u("设置"));
    EXPECT_EQ(field<QPushButton>("Button5")->text(), u("默认值"));
    EXPECT_EQ(field<QPushButton>("Button6")->text(), u("默认值"));
    EXPECT_EQ(field<QPushButton>("bsSkinButton1")->text(), u("设置"));
}

TEST_F(ConsumptionForms, TemperatureAndMaskChoicesListTheirItemsAndStartAtTheirDefaults)
{
    struct Choice
    {
        const char* name;
        QStringList items;
        int index;
    };
    const Choice choices[] = {
        {"cbisMaskOpen", {u("1:打开(默认)"), u("2:关闭")}, 0},
        {"cbisVoiceOpen", {u("1:打开(默认)"), u("2:关闭")}, 0},
        {"cbisMaskFoceOpen", {u("1:强制(默认)"), u("2:不强制")}, 1},
        {"cbisTempertureOpen", {u("1:打开(默认)"), u("2:关闭")}, 0},
        {"cbisVoiceOpen1", {u("1:打开(默认)"), u("2:关闭")}, 0},
        {"cbdeviceStyle", {u("1:闸机平板测温;"), u("2:立式测温一体机测温;"), u("3:简洁模式（默认）")}, 2},
        {"cbtemperatureErrorPass", {u("1：开"), u("2：关（默认）")}, 1},
        {"cbtemperatureMeasurePlace", {u("1：额头（默认）"), u("2：手腕")}, 0},
        {"cbtempUnit", {u("1：摄氏度（默认）"), u("2：华氏度")}, 0},
        {"cbtemperatureCompensation", {u("1：打开"), u("2：关闭（默认）")}, 1},
        {"cbtempMapSwitch", {u("1:打开"), u("2:关闭(默认)")}, 1},
    };
    for (const Choice& c : choices) {
        auto* combo = field<QComboBox>(c.name);
        ASSERT_NE(combo, nullptr);
        EXPECT_FALSE(combo->isEditable()) << c.name;
        EXPECT_EQ(itemsOf(combo), c.items) << c.name;
        EXPECT_EQ(combo->currentIndex(), c.index) << c.name;
    }
    const std::pair<const char*, const char*> edits[] = {
        {"edtvoiceContext", "请佩戴口罩"},   {"edtVoiceContext1", "体温异常{temperature}度"},
        {"edterrorTemperature", "37.3"},     {"edttemperatureMeasureMin", "30"},
        {"edttemperatureMeasureMax", "43"},  {"edtlowTempMapSourceMin", "30"},
        {"edtlowTempMapSourceMax", "34"},    {"edtlowTempMapTargetMin", "36"},
        {"edtlowTempMapTargetMax", "36.5"},  {"edthighTempMapSourceMin", "37.3"},
        {"edthighTempMapSourceMax", "40"},   {"edthighTempMapTargetMin", "36.8"},
        {"edthighTempMapTargetMax", "37.3"},
    };
    for (const auto& [name, value] : edits)
        EXPECT_EQ(text(name), u(value)) << name;
    // Every temperature field lives on the panel that Shift+F6 shows.
    for (const char* name :
         {"cbisTempertureOpen", "edtVoiceContext1", "cbtempUnit", "edthighTempMapTargetMax"})
        EXPECT_EQ(field(name)->parentWidget()->objectName(), "Panel1") << name;
}

TEST_F(ConsumptionForms, HeartbeatAndTaskAnswersStartWithNeitherChoiceAndStayExclusive)
{
    const std::pair<const char*, const char*> pairs[] = {{"rbHaveTask", "rbHaveNoTask"},
                                                         {"rbHaveTask2", "rbHaveNoTask2"}};
    for (const auto& [yesName, noName] : pairs) {
        auto* yes = field<QRadioButton>(yesName);
        auto* no = field<QRadioButton>(noName);
        ASSERT_TRUE(yes && no);
        EXPECT_EQ(yes->text(), u("有任务"));
        EXPECT_EQ(no->text(), u("无任务"));
        EXPECT_FALSE(yes->isChecked()) << yesName;
        EXPECT_FALSE(no->isChecked()) << noName;
        yes->click();
        no->click();
        EXPECT_FALSE(yes->isChecked()) << yesName;
        EXPECT_TRUE(no->isChecked()) << noName;
    }
    // The two pairs are separate choices.
    field<QRadioButton>("rbHaveTask")->click();
    EXPECT_TRUE(field<QRadioButton>("rbHaveNoTask2")->isChecked());
}

TEST_F(ConsumptionForms, TaskComboShowsItsTextWithNoKindChosen)
{
    auto* cbTask = field<QComboBox>("cbTask");
    ASSERT_NE(cbTask, nullptr);
    EXPECT_TRUE(cbTask->isEditable());
    EXPECT_EQ(cbTask->maxVisibleItems(), 20);
    EXPECT_EQ(cbTask->currentIndex(), -1);
    EXPECT_EQ(cbTask->currentText(), u("服务器地址设置任务"));
    const QStringList kinds{u("服务器地址设置任务"),
                            u("工作参数设置任务"),
                            u("消费时间段设置任务"),
                            u("查询终端消费流水任务"),
                            u("人员注册任务"),
                            u("人员删除(批量)任务"),
                            u("人员更新任务"),
                            u("分页查询人员信息任务"),
                            u("批量设置有效期任务"),
                            u("批量有效期删除任务"),
                            u("照片注册（URL）任务"),
                            u("照片注册删除（URL）任务"),
                            u("照片注册更新（base64+url）任务"),
                            u("照片注册查询任务")};
    EXPECT_EQ(itemsOf(cbTask), kinds);
}

TEST_F(ConsumptionForms, TaskGroupsShareOnePlaceAndOnlyTheServerAddressGroupShows)
{
    const std::pair<const char*, const char*> groups[] = {
        {"gpsetServerAddress", "联机服务设置任务"},
        {"gpworkConfig", "工作参数设置任务"},
        {"gptradeTimeinterval", "消费时间段设置任务"},
        {"gpreadConsumeRecords", "查询终端消费流水任务"},
        {"gppersoncreate", "人员注册任务"},
        {"gppersondelete", "人员删除(批量)任务"},
        {"gppersonfindByPage", "分页查询人员信息任务"},
        {"gppersonpermissionTime", "批量设置有效期任务"},
        {"gpfacecreateByUrl", "照片注册（URL）任务"},
        {"gpfacedelete", "照片注册删除（URL）任务"},
    };
    const QRect place = field("gpsetServerAddress")->geometry();
    for (const auto& [name, title] : groups) {
        auto* group = field<QGroupBox>(name);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->parentWidget()->objectName(), "GroupBox4") << name;
        EXPECT_EQ(group->title(), u(title)) << name;
        EXPECT_EQ(group->geometry(), place) << name;
        EXPECT_EQ(group->isHidden(), QString(name) != "gpsetServerAddress") << name;
    }
    EXPECT_TRUE(field("edtpassword")->isHidden());
    EXPECT_TRUE(field("cbpasswordPermission")->isHidden());
    EXPECT_EQ(field("edtpassword")->parentWidget()->objectName(), "gppersoncreate");
}

TEST_F(ConsumptionForms, TaskFieldsStartAtTheirDefaults)
{
    const std::pair<const char*, const char*> edits[] = {
        {"edtserverurl2", "http://192.168.1.188:8028/comApi/"},
        {"edtinterval2", "5"},
        {"edtrecogOvertime", "15"},
        {"edtrequestOvertime", "15"},
        {"edtfixedMoney", "1"},
        {"edtrepeatConsumInterval", "5"},
        {"edtrecogConsureOvertime", "5"},
        {"edtpersonId6", "-1"},
        {"edtstartTime2", "2021-01-01"},
        {"edtendTime2", "2021-01-01"},
        {"edtlength", "100"},
        {"edtindex", "0"},
        {"edtpersonId5", "10000"},
        {"edtidcardNum5", "3698990470"},
        {"edtpersonName5", "王麻子"},
        {"edtTag", "大胃王"},
        {"edtphone", ""},
        {"edtpersonId7", "10000"},
        {"edtpersonId8", "-1"},
        {"edtlength2", "100"},
        {"edtindex2", "0"},
        {"edtpersonId9", "10000"},
        {"edtstartTime3", "2021-01-01 00:00:00"},
        {"edtendTime3", "2021-01-01 23:59:59"},
        {"edtpersonId10", "10000"},
        {"edtFaceId2", "10000A"},
        {"edtimgUrl", "2021-01-01 23:59:59"},
        {"edtFaceId3", "10000A"},
    };
    for (const auto& [name, value] : edits)
        EXPECT_EQ(text(name), u(value)) << name;

    struct Combo
    {
        const char* name;
        bool editable;
        int index;
        int count;
    };
    // Task replies send index + 1, so the index is what matters on the wire.
    const Combo combos[] = {
        {"cbBase64Enable2", false, 0, 2},
        {"cbscreenCtrl", true, 0, 2},
        {"cbrecogDistance", false, 1, 3},
        {"cbrecogConsure", true, 0, 2},
        {"cbrepeatRegEnable", true, 0, 2},
        {"cbautoIsOff", true, 0, 2},
        {"cbvolume", true, 5, 11},
        {"cbworkModel", true, 1, 6},
        {"cborder", false, 0, 2},
        {"cbfacePermission", false, 1, 2},
        {"cbidCardPermission", false, 1, 2},
        {"cbfaceAndCardPermission", false, 0, 2},
        {"cbiDPermission", false, 0, 2},
        {"cbisEasyWay", false, 1, 2},
        {"cbWokmodel6", true, 1, 6},
    };
    for (const Combo& c : combos) {
        auto* combo = field<QComboBox>(c.name);
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->isEditable(), c.editable) << c.name;
        EXPECT_EQ(combo->currentIndex(), c.index) << c.name;
        EXPECT_EQ(combo->count(), c.count) << c.name;
    }
    EXPECT_EQ(field<QComboBox>("cbvolume")->currentText(), "5");
    EXPECT_EQ(field<QComboBox>("cbfacePermission")->itemText(0), u("1:关 "));
    EXPECT_EQ(field<QComboBox>("cbfaceAndCardPermission")->itemText(0), u("1:关  (默认)"));
}

TEST_F(ConsumptionForms, MealPeriodListHoldsSixUncheckedRowsInReportForm)
{
    auto* list = field<QTreeWidget>("lvDinLevTimes");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->parentWidget()->objectName(), "gptradeTimeinterval");
    EXPECT_FALSE(list->rootIsDecorated());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);

    const QStringList captions{u("餐段"),     u("餐名"),      u("开始时间"), u("结束时间"),
                               u("工作模式"), u("金额/次数"), u("离线次数"), u("离线金额")};
    const int widths[] = {40, 40, 60, 60, 64, 65, 60, 60};
    ASSERT_EQ(list->columnCount(), 8);
    for (int column = 0; column < 8; ++column) {
        EXPECT_EQ(list->headerItem()->text(column), captions[column]);
        EXPECT_EQ(list->columnWidth(column), widths[column]) << column;
    }
    const char* rows[6][8] = {
        {"1", "早餐", "05:00", "08:30", "1", "1", "0", "0"},
        {"2", "午餐", "11:00", "13:00", "2", "1", "0", "0"},
        {"3", "晚餐", "17:00", "18:30", "3", "1", "0", "0"},
        {"4", "夜宵", "22:00", "23:30", "4", "1", "0", "0"},
        {"5", "无名", "23:40", "23:50", "5", "1", "0", "0"},
        {"6", "无名", "23:55", "01:30", "6", "1", "0", "0"},
    };
    ASSERT_EQ(list->topLevelItemCount(), 6);
    for (int row = 0; row < 6; ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        EXPECT_EQ(item->checkState(0), Qt::Unchecked) << row;
        EXPECT_TRUE(item->flags() & Qt::ItemIsUserCheckable) << row;
        for (int column = 0; column < 8; ++column)
            EXPECT_EQ(item->text(column), u(rows[row][column])) << row << "," << column;
    }

    // The editor row below the list shows the first period.
    EXPECT_FALSE(field("edtDinlevid")->isEnabled());
    EXPECT_EQ(text("edtDinlevid"), "1");
    EXPECT_EQ(text("edtDinlevName"), u("早餐"));
    EXPECT_EQ(text("edtBeginttime"), "05:00");
    EXPECT_EQ(text("edtEndtime"), "08:30");
    EXPECT_EQ(text("edtfixedMoney2"), "1");
    EXPECT_EQ(text("edtlimitTimes"), "0");
    EXPECT_EQ(text("edtlimitMoney"), "0");
    EXPECT_EQ(field<QPushButton>("Button3")->text(), u("修改"));
}

TEST_F(ConsumptionForms, OnlineServiceAndFirmwareFieldsStartAtTheirDefaults)
{
    EXPECT_EQ(text("edtserverurl"), "http://192.168.1.188:8028/comApi/");
    EXPECT_EQ(text("edtinterval"), "5");
    auto* base64 = field<QComboBox>("cbBase64Enable");
    EXPECT_FALSE(base64->isEditable());
    EXPECT_EQ(itemsOf(base64), QStringList({u("1：关"), u("2：开")}));
    EXPECT_EQ(base64->currentIndex(), 0);
    EXPECT_EQ(field<QPushButton>("btnsetServerAddress")->text(), u("设置"));
    EXPECT_TRUE(text("edtBinFile").endsWith(".bin"));
    EXPECT_EQ(field<QPushButton>("btnbootOnline")->text(), u("选择文件升级"));
}

TEST_F(ConsumptionForms, AccountResultShowsSuccessTextWithNoItemChosen)
{
    auto* cbResult2 = field<QComboBox>("cbResult2");
    ASSERT_NE(cbResult2, nullptr);
    EXPECT_TRUE(cbResult2->isEditable());
    EXPECT_EQ(itemsOf(cbResult2), QStringList({u("0:查询失败"), u("1:查询成功"), QString()}));
    EXPECT_EQ(cbResult2->currentIndex(), -1);
    EXPECT_EQ(cbResult2->currentText(), u("1:查询成功"));

    auto* cbResult = field<QComboBox>("cbResult");
    EXPECT_EQ(itemsOf(cbResult), QStringList({u("0:交易失败"), u("1:交易成功"), QString()}));
    EXPECT_EQ(cbResult->currentIndex(), 1);
}

TEST_F(ConsumptionForms, ReplyFieldsStartAtTheirDefaults)
{
    const std::pair<const char*, const char*> edits[] = {
        {"edtpersonId", "10000"},
        {"edtidcardNum", "3698990470"},
        {"edtroleName", "大胃王"},
        {"edtpersonName", "王麻子"},
        {"edtdepartName", "生产部"},
        {"edtaccountState", "1"},
        {"edtaccountBalance", "50000"},
        {"edtpersonalBalance", "25000"},
        {"edtsubsidyBalance", "25000"},
        {"edtaccountTimes", "100"},
        {"edttitle", "个人账户余额信息"},
        {"edtcontentText1", "总余额{%f}元"},
        {"edtcontentText2", "现金余额{%f}元"},
        {"edtcontentText3", "补贴余额{%f}元"},
        {"edtorderId", "20210817144813001"},
        {"edttradeTime", "1"},
        {"edttradeSeq", "1"},
        {"edttradePrice", "1"},
        {"edttradePrice2", "1"},
        {"edtaccountTimes2", "100"},
        {"edtcontentText32", "补贴余额{%f}元"},
        {"edtMsg", "交易成功"},
        {"edtorderId2", "20210817144813001"},
        {"edtmenuId", "00001"},
        {"edtmenuName", "红烧排骨"},
        {"edttradePrice3", "1"},
        {"edtorderId3", "20210817144813001"},
        {"edttitle3", "订单撤销成功"},
        {"edtcontentText13", "用户名：{%s}"},
        {"edtcontentText23", "撤销金额{%f}元"},
        {"edtcontentText33", "卡余额{%f}元"},
        {"edttradePrice4", "1"},
    };
    for (const auto& [name, value] : edits)
        EXPECT_EQ(text(name), u(value)) << name;
    // Every combo box of the reply groups accepts typed text.
    for (const char* name : {"cbtradeType", "cbworkModel2", "cbResult", "cbtradeType2", "cbworkModel3",
                             "cbtradeType3", "cbworkModel4", "cbtradeFlow"}) {
        auto* combo = field<QComboBox>(name);
        EXPECT_TRUE(combo->isEditable()) << name;
        EXPECT_EQ(combo->currentIndex(), name == std::string("cbResult") ? 1 : 0) << name;
    }
    EXPECT_EQ(field<QComboBox>("cbtradeType")->count(), 7);
    EXPECT_EQ(field<QComboBox>("cbtradeFlow")->itemText(2), u("3:撤销"));
}

TEST_F(ConsumptionForms, ReplyMemosJoinIntoTheirSampleJson)
{
    auto joined = [this](const char* name) {
        auto* memo = field<QPlainTextEdit>(name);
        EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn) << name;
        return memo->toPlainText().split('\n');
    };
    const QStringList sum = joined("mmqueryTerminalSum");
    EXPECT_EQ(sum.size(), 7);
    EXPECT_EQ(sum.first(), u("{\"result\":1,\"success\":true,\"msg\":\"查询成"));
    EXPECT_EQ(sum.last(), u("餐\",\"partSumMoney\":1000,\"partSumCount\":10,\"revoSumCount\":0}]}]}"));
    EXPECT_EQ(joined("mmconfirmOrderMenu").size(), 4);
    const QStringList menu = joined("mmqueryOrderMenu");
    EXPECT_EQ(menu.size(), 9);
    EXPECT_EQ(menu[5], u("17\",\"mealId\":\"1\",\"menuId\":\"0010\",\"menuName\":\"红烧排"));

    for (const char* name : {"mmqueryTerminalSum", "mmconfirmOrderMenu", "mmqueryOrderMenu"}) {
        QJsonParseError error;
        EXPECT_TRUE(QJsonDocument::fromJson(joined(name).join(QString()).toUtf8(), &error).isObject())
            << name;
        EXPECT_EQ(error.error, QJsonParseError::NoError) << name;
    }
    const QJsonObject data =
        QJsonDocument::fromJson(menu.join(QString()).toUtf8()).object()["data"].toObject();
    EXPECT_EQ(data["roleName"].toString(), u("研究员"));
    EXPECT_EQ(data["personName"].toString(), u("王麻子"));
    const QJsonObject order = data["menuList"].toArray().first().toObject();
    EXPECT_EQ(order["mealDate"].toString(), "2021-08-17");
    EXPECT_EQ(order["menuName"].toString(), u("红烧排骨"));
    EXPECT_EQ(order.keys().size(), 9);
    EXPECT_TRUE(order["menuUrl"].toString().startsWith("http://"));
}
