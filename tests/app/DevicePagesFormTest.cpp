#include "support/WindowTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The four device-side pages of a real window, reached by objectName only.
class DevicePagesForm : public WindowTest
{
protected:
    DevicePagesForm() { show(); }
};

struct Placed
{
    const char* name;
    const char* body;
    QRect bounds;
};

const Placed kPlaced[] = {
    {"grp1", "ts1Body", {1, 0, 248, 209}},       {"grp2", "ts1Body", {2, 211, 248, 102}},
    {"grp8", "ts1Body", {2, 318, 248, 75}},      {"GroupBox12", "ts1Body", {2, 400, 248, 89}},
    {"grp9", "ts1Body", {256, 0, 608, 276}},     {"grp6", "ts1Body", {256, 280, 608, 209}},
    {"grp14", "ts2Body", {12, 12, 333, 117}},    {"grp11", "ts2Body", {12, 133, 333, 196}},
    {"grp13", "ts2Body", {351, 12, 173, 117}},   {"grp15", "ts2Body", {351, 137, 173, 192}},
    {"grp16", "ts2Body", {532, 12, 333, 317}},   {"grp17", "ts4Body", {10, 0, 343, 145}},
    {"grpFtp", "ts4Body", {360, 6, 120, 138}},   {"chkUseFtpPass", "ts4Body", {16, 154, 97, 17}},
    {"grp12", "ts3Body", {8, 8, 233, 97}},       {"grp10", "ts3Body", {248, 8, 113, 97}},
    {"grp5", "ts3Body", {370, 8, 95, 97}},       {"grp3", "ts3Body", {474, 8, 152, 97}},
    {"rgDisable", "ts3Body", {635, 8, 151, 97}}, {"btnDisable", "ts3Body", {704, 40, 75, 25}},
    {"grp4", "ts3Body", {8, 112, 169, 56}},      {"grp7", "ts3Body", {184, 112, 233, 56}},
    {"btn15", "ts3Body", {456, 128, 105, 25}},
};

TEST_F(DevicePagesForm, GroupsSitAtTheirBoundsDirectlyInThePageBody)
{
    for (const Placed& placed : kPlaced) {
        QWidget* widget = field<QWidget>(placed.name);
        ASSERT_NE(widget, nullptr) << placed.name;
        EXPECT_EQ(widget->parentWidget()->objectName(), placed.body) << placed.name;
        EXPECT_EQ(widget->geometry(), placed.bounds) << placed.name;
    }
    EXPECT_EQ(field<QGroupBox>("grp1")->title(), u("设备IP"));
    EXPECT_EQ(field<QGroupBox>("grp8")->title(), QString());
    EXPECT_EQ(field<QGroupBox>("GroupBox12")->title(), u("人脸识别回调服务"));
    EXPECT_EQ(field<QGroupBox>("grp4")->title(), u("屏保待机时间设置（1-60）"));
    EXPECT_EQ(field<QCheckBox>("chkUseFtpPass")->text(), u("ftp使用密码"));
}

TEST_F(DevicePagesForm, EveryWidgetOfAGroupLiesInsideItAndOverlapsNoOther)
{
    for (const Placed& placed : kPlaced) {
        auto* group = window.findChild<QGroupBox*>(placed.name);
        if (!group)
            continue;
        const QList<QWidget*> children = group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (int i = 0; i < children.size(); ++i) {
            EXPECT_TRUE(group->rect().contains(children[i]->geometry()))
                << placed.name << " " << children[i]->objectName().toStdString();
            for (int j = i + 1; j < children.size(); ++j)
                EXPECT_FALSE(children[i]->geometry().intersects(children[j]->geometry()))
                    << children[i]->objectName().toStdString() << " "
                    << children[j]->objectName().toStdString();
        }
    }
}

TEST_F(DevicePagesForm, EditsHoldTheirDefaultsInPlainText)
{
    const std::pair<const char*, const char*> defaults[] = {
        {"edtIP", "172.16.1.115"},
        {"edtSubnetMask", "255.255.255.0"},
        {"edtgeteway", "192.168.23.1"},
        {"edtDSN", "8.8.8.8"},
        {"edtPasswordOld", "58104726"},
        {"edtPasswordNew", "58104726"},
        {"edtSerialNo", ""},
        {"edtIP1", "192.168.1.129"},
        {"edtPort", "8090"},
        {"edtcompanyName", ""},
        {"edtidentifyScores", "80"},
        {"edtsaveIdentifyTime", "0"},
        {"edtdelayTimeForCloseDoor", "500"},
        {"edtcomModContent", "#WG{idcardNum}#"},
        {"edtslogan", ""},
        {"edtintro", ""},
        {"edtttsModContent", "{name}"},
        {"edtdisplayModContent", "{name}"},
        {"edtttsModStrangerContent", "注意陌生人"},
        {"edtcallback", "http://192.168.1.188:8090/attendance"},
        {"edtheartbeat", "http://192.168.1.188:8090/heartbeat"},
        {"edtimgregcallback", "http://192.168.1.188:8090/imgreg"},
        {"edtCodecallback", "http://192.168.1.188:8090/device/setQRCodeCallback"},
        {"edtsetTaskInterfaceAddress", "http://192.168.1.188:8090/setTaskInterfaceAddress"},
        {"edtsetTaskProcessingResultsAddress", "http://192.168.1.188:8090/setTaskProcessingResultsAddress"},
        {"edtEmpID", "10050"},
        {"edtEmpName", "测试"},
        {"edtCardID", "00000065"},
        {"edtBTime1", "08:00:00"},
        {"edtETime1", "10:00:00"},
        {"edtBTime2", "11:00:00"},
        {"edtETime2", "13:00:00"},
        {"edtBTime3", "15:00:00"},
        {"edtETime3", "18:00:00"},
        {"edtFaceID", "10050"},
        {"edtfaceUrl", ""},
        {"edtFindEmpID", ""},
        {"edtPageRecords", "100"},
        {"edtPages", "0"},
        {"edtftpUser", "admin"},
        {"edtftpPass", "58104726"},
        {"edtScreenSaverTime", "3"},
    };
    for (const auto& [name, text] : defaults) {
        auto* edit = field<QLineEdit>(name);
        ASSERT_NE(edit, nullptr) << name;
        EXPECT_EQ(edit->text(), u(text)) << name;
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal) << name;
    }
    EXPECT_EQ(field<QLineEdit>("edtsetTaskInterfaceAddress")->placeholderText(), u("人脸消费机参数"));
    EXPECT_EQ(field<QLineEdit>("edtsetTaskProcessingResultsAddress")->placeholderText(), u("人脸消费机参数"));
    EXPECT_EQ(field<QLabel>("lbl42")->text(), u("IP"));
    EXPECT_EQ(field<QLabel>("lbl47")->text(), u("端口"));
}

struct ComboDefault
{
    const char* name;
    bool editable;
    int count;
    int currentIndex;
    const char* currentText;
};

TEST_F(DevicePagesForm, CombosOfferTheirItemsWithTheDefaultChosen)
{
    const ComboDefault combos[] = {
        {"cbbDHCPMod", false, 2, 1, "手动配置模式"},
        {"cbbidentifyDistance", false, 7, 0, "0: 无限制"},
        {"cbbcomModType", false, 5, 0, "1: 开门"},
        {"cbbWG", false, 4, 0, "输出卡号(WG26)"},
        {"cbbttsModType", false, 3, 1, "2: 播放名字"},
        {"cbbdisplayModType", false, 2, 0, "1: 显示名字"},
        {"cbbmultiplayerDetection", false, 2, 0, "识别多人脸"},
        {"cbbrecStrangerType", false, 2, 0, "不识别"},
        {"cbbrecStrangerTimesThreshold", false, 3, 2, "3"},
        {"cbbttsModStrangerType", false, 3, 0, "1: 不需要语音播报"},
        {"cbbrecRank", false, 3, 1, "2:能拒绝部分照片"},
        {"cbbWhiteList", false, 2, 0, "1：关"},
        {"cbbTimeZone", false, 83, -1, ""},
        {"cbbLanguage", false, 2, 0, "简体中文"},
        {"cbborientation", true, 2, 1, "竖屏"},
        {"cbbOpenDoorType", false, 4, 0, "1.开门"},
    };
    for (const ComboDefault& expected : combos) {
        auto* combo = field<QComboBox>(expected.name);
        ASSERT_NE(combo, nullptr) << expected.name;
        EXPECT_EQ(combo->isEditable(), expected.editable) << expected.name;
        EXPECT_EQ(combo->count(), expected.count) << expected.name;
        EXPECT_EQ(combo->currentIndex(), expected.currentIndex) << expected.name;
        EXPECT_EQ(combo->currentText(), u(expected.currentText)) << expected.name;
    }
    auto* zones = field<QComboBox>("cbbTimeZone");
    EXPECT_EQ(zones->itemText(0), u("Asia/Shanghai 中国标准时间 (北京)"));
    EXPECT_EQ(zones->itemText(61), u("Asia/Calcutta 加尔各答"));
    EXPECT_EQ(zones->itemText(82), u("Pacific/Tongatapu 东加塔布"));
    EXPECT_EQ(zones->maxVisibleItems(), 30);
    auto* wg = field<QComboBox>("cbbWG");
    EXPECT_EQ(wg->itemText(3), u("输出人员ID(WG34)"));
    EXPECT_EQ(field<QComboBox>("cbbcomModType")->itemText(4), u("100: 自定义"));
    EXPECT_EQ(field<QComboBox>("cbbrecRank")->itemText(2), u("3:能拒绝照片和视频"));
}

TEST_F(DevicePagesForm, ChoicesStartAsTheWindowOffersThem)
{
    EXPECT_TRUE(field<QCheckBox>("chkUseFtpPass")->isChecked());
    for (const char* name :
         {"chkBase64Enable", "chkEasyWay", "chkShowIP", "chkShowPeopleNum", "chkShowDeviceKey"})
        EXPECT_FALSE(field<QCheckBox>(name)->isChecked()) << name;
    EXPECT_EQ(field<QCheckBox>("chkBase64Enable")->text(), u("现场照base64"));

    auto* disable = field<QGroupBox>("rgDisable");
    EXPECT_EQ(disable->title(), u("设备禁用"));
    const QList<QRadioButton*> items = disable->findChildren<QRadioButton*>();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), u("禁用"));
    EXPECT_EQ(items[1]->text(), u("解除禁用"));
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_TRUE(items[1]->isChecked());
    items[0]->setChecked(true);
    EXPECT_FALSE(items[1]->isChecked());

    // The button lies over the box but must leave both choices clickable.
    auto* button = field<QPushButton>("btnDisable");
    const QRect overBox = button->geometry().translated(-disable->pos());
    for (QRadioButton* item : items)
        EXPECT_FALSE(overBox.intersects(item->geometry())) << item->text().toStdString();
}

TEST_F(DevicePagesForm, DatePickersShowTheDateAndKeepTheirTimeOfDay)
{
    const QDateTime start(QDate(2019, 6, 29), QTime(8, 45, 35));
    for (const char* name : {"dtpValidDate", "dtpBegDate", "dtpEndDate"}) {
        auto* picker = field<QDateTimeEdit>(name);
        ASSERT_NE(picker, nullptr) << name;
        EXPECT_EQ(picker->dateTime(), start) << name;
        EXPECT_TRUE(picker->calendarPopup()) << name;
        EXPECT_FALSE(picker->displayedSections() & QDateTimeEdit::TimeSections_Mask) << name;
        picker->setDate(QDate(2021, 2, 3));
        EXPECT_EQ(picker->dateTime(), QDateTime(QDate(2021, 2, 3), QTime(8, 45, 35))) << name;
        // Stepping the shown date from the keyboard keeps the time of day as well.
        picker->setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClick(picker, Qt::Key_Up);
        EXPECT_EQ(picker->dateTime(), QDateTime(QDate(2021, 2, 4), QTime(8, 45, 35))) << name;
    }

    auto* check = field<QCheckBox>("dtpBegDateCheck");
    auto* begin = field<QDateTimeEdit>("dtpBegDate");
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(check->parentWidget(), begin->parentWidget());
    EXPECT_EQ(check->geometry().right() + 1, begin->x());
    EXPECT_TRUE(check->geometry().top() >= begin->geometry().top() &&
                check->geometry().bottom() <= begin->geometry().bottom());
    check->setChecked(false);
    EXPECT_FALSE(begin->isEnabled());
}

TEST_F(DevicePagesForm, ButtonsAndPictureBoxes)
{
    const std::pair<const char*, const char*> captions[] = {
        {"btnLink", "连接"},
        {"btnsetnetinfo", "设置IP"},
        {"btnsettime", "设置时间"},
        {"btnrestartdevice", "重启设备"},
        {"btnreset", "设备重置"},
        {"btnsetpassword", "设置密码"},
        {"btngetdevicekey", "读序列号"},
        {"btn8", "启动识别回调"},
        {"btn1", "配置查询"},
        {"btnsetconfig", "设置"},
        {"btnsetidentifycallback", "设置"},
        {"btnsetdeviceheartbeat", "设置"},
        {"btnsetimgregcallback", "设置"},
        {"btn2", "设置"},
        {"Button1", "设置"},
        {"Button2", "设置"},
        {"btncallback", "获取URL"},
        {"btn3", "创建人员"},
        {"btn4", "更新人员"},
        {"btn5", "删除人员"},
        {"btn6", "查询人员"},
        {"btn9", "分页查询人员"},
        {"btn10", "选择照片"},
        {"btn13", "创建人脸"},
        {"btn7", "照片更新"},
        {"btn11", "设备拍照"},
        {"btn17", "删除人脸"},
        {"btnfacefind", "照片查询"},
        {"btn21", "设置有效期"},
        {"btn24", "删除有效期"},
        {"btn22", "设置"},
        {"btn23", "删除"},
        {"btn12", "识别记录查询"},
        {"btnNewDeleteRecords", "识别记录删除"},
        {"btn14", "识别记录删除(Unix)"},
        {"btnSetFtpPass", "Ftp设置"},
        {"btnSetTimeZone", "时区设置"},
        {"btnLanguage", "语言切换"},
        {"btnsetscreenort", "设置"},
        {"btnWidgetConfig", "设置"},
        {"btnDisable", "禁用/启用"},
        {"btnScreenSaverTime", "设置"},
        {"btnOpenDoorControl", "远程开门"},
        {"btn15", "识别模式配置"},
    };
    for (const auto& [name, caption] : captions) {
        auto* button = field<QPushButton>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), u(caption)) << name;
    }
    EXPECT_EQ(field<QPushButton>("btnLink")->size(), QSize(68, 52));

    auto* emp = field<QLabel>("imgEmp");
    auto* pic = field<QLabel>("imgPic");
    EXPECT_EQ(emp->size(), QSize(105, 118));
    EXPECT_EQ(pic->size(), QSize(329, 300));
    EXPECT_EQ(pic->parentWidget()->objectName(), "grp16");
    for (QLabel* box : {emp, pic}) {
        EXPECT_TRUE(box->hasScaledContents());
        EXPECT_TRUE(box->pixmap().isNull());
    }
}

} // namespace
