#include "common/TextCodec.h"
#include "app/LogView.h"
#include "support/FakeTerminal.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace {

const QByteArray kNetwork = "127.0.10.";
const QString kDefaultReply = R"({"success":true,"data":"ABC123"})";

// A shown window connected to a fake terminal of this group's own addresses.
class AdministrationPages : public WindowTest
{
protected:
    void connectTo(const FakeTerminal& terminal)
    {
        show();
        field<QLineEdit>("edtIP")->setText(terminal.host());
        click("btnLink");
        ASSERT_EQ(field<QPushButton>("btnLink")->text(), u("销毁连接"));
    }

    void click(const char* button) { field<QPushButton>(button)->click(); }

    QStringList lines(const char* pane)
    {
        const QString text = field<LogView>(pane)->toPlainText();
        return text.isEmpty() ? QStringList() : text.split('\n');
    }

    QString settingsText()
    {
        QFile file(QDir(folder.path()).filePath("Horavel.ini"));
        return file.open(QIODevice::ReadOnly) ? TextCodec::fromGbk(file.readAll()) : QString("(missing)");
    }

    // Answers the next modal message box with `answer` and keeps what it showed.
    void answerNextQuestion(QMessageBox::StandardButton answer)
    {
        QTimer::singleShot(0, &window, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            asked = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                     box->defaultButton() == box->button(QMessageBox::No)};
            box->button(answer)->click();
        });
    }

    struct Question
    {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        bool noIsDefault;
    };
    std::optional<Question> asked;
};

} // namespace

TEST_F(AdministrationPages, ResetAsksFirstAndSendsOnlyOnYes)
{
    FakeTerminal terminal(101, 8090, kNetwork);
    connectTo(terminal);
    answerNextQuestion(QMessageBox::No);
    click("btnreset");
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->caption, u("提示"));
    EXPECT_EQ(asked->text,
              u("确定要重置设备吗？将删除设备上所有的识别记录、注册照、现场照，人员、特征等所有的数据，"
                "清空所有的数据库."));
    EXPECT_EQ(asked->icon, QMessageBox::Warning);
    EXPECT_EQ(asked->buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(asked->noIsDefault);
    EXPECT_EQ(terminal.requestCount(), 1);
    EXPECT_EQ(lines("mmoLog"), QStringList{u("连接成功")});

    answerNextQuestion(QMessageBox::Yes);
    click("btnreset");
    EXPECT_EQ(terminal.lastRequest().requestLine, "POST /device/reset HTTP/1.0");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&delete=false");
    EXPECT_EQ(lines("mmoLog"), (QStringList{u("连接成功"), kDefaultReply}));

    // Its errors have no line of their own: they reach the general error box.
    terminal.then(TerminalReply::status(404, "Not Found"));
    answerNextQuestion(QMessageBox::Yes);
    click("btnreset");
    EXPECT_EQ(lines("mmoLog").size(), 2);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("404")) << errors[0].toStdString();
}

TEST_F(AdministrationPages, NumberFieldsThatDoNotConvertShowTheErrorBoxAndSendNothing)
{
    FakeTerminal terminal(102, 8090, kNetwork);
    connectTo(terminal);
    field<QLineEdit>("edtScreenSaverTime")->setText("abc");
    click("btnScreenSaverTime");
    field<QLineEdit>("edtidentifyScores")->setText("8O");
    click("btnsetconfig");
    EXPECT_EQ(errors,
              (QStringList{"'abc' is not a valid integer value", "'8O' is not a valid integer value"}));
    EXPECT_EQ(terminal.requestCount(), 1);
    EXPECT_TRUE(lines("mmoLog3").isEmpty());
    EXPECT_EQ(lines("mmoLog"), QStringList{u("连接成功")});

    field<QLineEdit>("edtScreenSaverTime")->setText("100");
    click("btnScreenSaverTime");
    EXPECT_EQ(terminal.lastRequest().body, R"({"pass":"58104726","time":100})");
}

TEST_F(AdministrationPages, NetworkChangeMovesTheTerminalAndRecordsTheNetworkKeys)
{
    FakeTerminal current(103, 8090, kNetwork);
    FakeTerminal moved(104, 8090, kNetwork);
    connectTo(current);
    field<QLineEdit>("edtIP")->setText(moved.host());
    field<QLineEdit>("edtDSN")->setText("");
    current.then(TerminalReply::json(R"({"success":false,"msg":"no"})"))
        .then(TerminalReply::json(u(R"({"success":true,"msg":"设置成功"})")));
    click("btnsetnetinfo");
    EXPECT_EQ(lines("mmoLog").last(), current.host() + u("有线网络设置失败"));
    EXPECT_EQ(settingsText(), "");

    click("btnsetnetinfo");
    EXPECT_EQ(current.lastRequest().body,
              "pass=58104726&isDHCPMod=2&ip=127%2E0%2E10%2E104&gateway=192%2E168%2E23%2E1"
              "&subnetMask=255%2E255%2E255%2E0");
    EXPECT_EQ(lines("mmoLog").last(), moved.host() + u("设置成功"));
    EXPECT_EQ(settingsText(),
              u("[Dovarin]\r\nIP=127.0.10.104\r\ngeteway=192.168.23.1\r\nSubnetMask=255.255.255.0\r\n"
                "DSN=\r\nDHCPMod=手动配置模式\r\n"));

    click("btngetdevicekey");
    EXPECT_EQ(moved.requestCount(), 1);
    EXPECT_EQ(current.requestCount(), 3);
    EXPECT_EQ(lines("mmoLog").last(), moved.host() + u("序列号:ABC123"));
}

TEST_F(AdministrationPages, UnwritableSettingsFileTurnsTheSuccessLineIntoTheExceptionLine)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("Horavel.ini"));
    FakeTerminal terminal(105, 8090, kNetwork);
    connectTo(terminal);
    click("btnsetdeviceheartbeat");
    EXPECT_EQ(lines("mmoLog"), (QStringList{u("连接成功"), kDefaultReply, u("操作失败")}));
    field<QLineEdit>("edtIP")->setText("127.0.10.106");
    terminal.then(TerminalReply::json(R"({"success":true,"msg":"ok"})"));
    click("btnsetnetinfo");
    EXPECT_EQ(lines("mmoLog").last(), u("操作失败"));
    click("btngetdevicekey");
    EXPECT_EQ(terminal.requestCount(), 3);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(AdministrationPages, ClearedAddressPostsTheClearingBodyAndRecordsAnEmptyKey)
{
    FakeTerminal terminal(107, 8090, kNetwork);
    connectTo(terminal);
    field<QLineEdit>("edtheartbeat")->setText("");
    terminal.then(TerminalReply::json(R"({"success":true,"data":"ok"})"));
    click("btnsetdeviceheartbeat");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&url=");
    EXPECT_EQ(terminal.lastRequest().header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(lines("mmoLog").last(), terminal.host() + "ok");
    EXPECT_EQ(settingsText(), "[Dovarin]\r\nheartbeat=\r\n");
}

TEST_F(AdministrationPages, EveryButtonSendsItsFieldsAndLogsInItsPane)
{
    FakeTerminal terminal(108, 8090, kNetwork);
    connectTo(terminal);
    struct Binding
    {
        const char* button;
        const char* pane;
        QByteArray target;
        std::optional<QByteArray> body; // none where the body is checked elsewhere
    };
    const QByteArray addressStart = "pass=58104726&url=http%3A%2F%2F192%2E168%2E1%2E188%3A8090%2F";
    const Binding bindings[] = {
        {"btnsettime", "mmoLog", "/setTime", std::nullopt},
        {"btnrestartdevice", "mmoLog", "/restartDevice", "pass=58104726"},
        {"btnsetconfig", "mmoLog", "/setConfig", std::nullopt},
        {"btn1", "mmoLog", "/device/config?pass=58104726", ""},
        {"btnsetidentifycallback", "mmoLog", "/setIdentifyCallBack",
         "pass=58104726&callbackUrl=http%3A%2F%2F192%2E168%2E1%2E188%3A8090%2Fattendance&base64Enable=1"},
        {"btnsetdeviceheartbeat", "mmoLog", "/setDeviceHeartBeat", addressStart + "heartbeat"},
        {"btnsetimgregcallback", "mmoLog", "/setImgRegCallBack", addressStart + "imgreg&base64Enable=1"},
        {"btn2", "mmoLog", "/device/setQRCodeCallback", addressStart + "device%2FsetQRCodeCallback"},
        {"Button1", "mmoLog", "/setTaskInterfaceAddress", addressStart + "setTaskInterfaceAddress"},
        {"Button2", "mmoLog", "/setTaskProcessingResultsAddress",
         addressStart + "setTaskProcessingResultsAddress"},
        {"btncallback", "mmoLog", "/device/callback?pass=58104726", ""},
        {"btnSetTimeZone", "mmoLog3", "/device/setTimeZone", "pass=58104726"},
        {"btnLanguage", "mmoLog3", "/device/setLanguage", "pass=58104726&languageType=zh%5FCN"},
        {"btnsetscreenort", "mmoLog3", "/setScreenOrt", "pass=58104726&orientation=2"},
        {"btnWidgetConfig", "mmoLog3", "/widgetConfig",
         "pass=58104726&showIp=0&showDeviceKey=0&showPeopleNum=0"},
        {"btnDisable", "mmoLog", "/device/disable", R"({"pass":"58104726","isDisable":false})"},
        {"btnScreenSaverTime", "mmoLog3", "/device/screenSaverTime", R"({"pass":"58104726","time":3})"},
        {"btnOpenDoorControl", "mmoLog3", "/device/openDoorControl", "pass=58104726&type=1"},
        {"btn15", "mmoLog", "/device/setIdentifyModel", std::nullopt},
        {"btnSetFtpPass", "mmoLog2", "/setFTP?pass=58104726&username=admin&password=58104726", ""},
        {"btnsetServerAddress", "mmMsg", "/setServerAddress", std::nullopt},
    };
    int sent = terminal.requestCount();
    for (const Binding& binding : bindings) {
        const qsizetype before = lines(binding.pane).size();
        click(binding.button);
        ASSERT_EQ(terminal.requestCount(), ++sent) << binding.button;
        EXPECT_EQ(terminal.lastRequest().target, binding.target) << binding.button;
        if (binding.body) {
            EXPECT_EQ(terminal.lastRequest().body, *binding.body) << binding.button;
        }
        EXPECT_EQ(lines(binding.pane).value(before), kDefaultReply) << binding.button;
    }
    EXPECT_TRUE(terminal.lastRequest().body.endsWith("&interval=5&base64Enable=1"));
    EXPECT_TRUE(settingsText().contains(u("orientation=竖屏\r\n")));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(AdministrationPages, ChosenItemsAndTickedBoxesChangeWhatIsSent)
{
    FakeTerminal terminal(109, 8090, kNetwork);
    connectTo(terminal);
    field<QComboBox>("cbbTimeZone")->setCurrentIndex(5);
    click("btnSetTimeZone");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&timeZone=America%2FNew%5FYork");
    field<QComboBox>("cbborientation")->setEditText(u("斜"));
    click("btnsetscreenort");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&orientation=0");
    field<QComboBox>("cbbOpenDoorType")->setCurrentIndex(3);
    click("btnOpenDoorControl");
    EXPECT_TRUE(terminal.lastRequest().body.startsWith("pass=58104726&type=4&content=%7B"));
    field<QCheckBox>("chkShowDeviceKey")->setChecked(true);
    click("btnWidgetConfig");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&showIp=0&showDeviceKey=1&showPeopleNum=0");
    field<QRadioButton>("rgDisableItem0")->setChecked(true);
    click("btnDisable");
    EXPECT_EQ(terminal.lastRequest().body, R"({"pass":"58104726","isDisable":true})");
    field<QCheckBox>("chkBase64Enable")->setChecked(true);
    click("btnsetimgregcallback");
    EXPECT_TRUE(terminal.lastRequest().body.endsWith("&base64Enable=2"));
    field<QLineEdit>("edtftpPass")->setText("a#b&c d");
    click("btnSetFtpPass");
    EXPECT_EQ(terminal.lastRequest().target, "/setFTP?pass=58104726&username=admin&password=a%23b%26c%20d");
    EXPECT_EQ(lines("mmoLog2").last(), terminal.host() + u("FTP设置成功"));
    EXPECT_EQ(lines("mmoLog3").last(), terminal.host() + u("修改隐藏功能成功"));
    EXPECT_TRUE(settingsText().contains(u("orientation=斜\r\n")));
}
