#include "device/FormFields.h"
#include "device/HttpClient.h"
#include "support/SimulatorProcess.h"
#include "support/WindowTest.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A shown window and the terminal simulator as a process of its own: the
// window's pages are driven against it as against a real terminal.
class TerminalSimulator : public WindowTest
{
protected:
    TerminalSimulator() { show(); }

    // Starts the simulator on address, then connects the window to it.
    void connectTo(const char* address, const QStringList& extra = {})
    {
        host = QString::fromLatin1(address);
        terminal = std::make_unique<SimulatorProcess>(host, extra);
        ASSERT_TRUE(terminal->listening()) << terminal->errors().toStdString();
        field<QLineEdit>("edtIP")->setText(host);
        click("btnLink");
        ASSERT_EQ(field<QPushButton>("btnLink")->text(), u("销毁连接"));
    }

    void click(const char* button) { QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton); }
    QString pane(const char* name) { return field<QPlainTextEdit>(name)->toPlainText(); }
    QStringList lines(const char* name) { return pane(name).split('\n'); }

    // Waits, serving the window meanwhile, until the pane holds text count times.
    bool waitInPane(const char* name, const QString& text, int count = 1, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return pane(name).count(text) >= count; }, timeoutMs);
    }

    // A command the window does not send yet, sent in the window's own wire form.
    QByteArray sendAsTheTool(const QString& path,
                             std::initializer_list<std::pair<const char*, QString>> fields)
    {
        FormFields form;
        for (const auto& [name, value] : fields)
            form.set(name, value);
        HttpClient client("application/x-www-form-urlencoded");
        client.setTimeoutMs(5000);
        return client.send(HttpClient::Method::Post, QStringLiteral("http://%1:8090/%2").arg(host, path),
                           form.encoded());
    }

    QString host;
    std::unique_ptr<SimulatorProcess> terminal;
};

} // namespace

TEST_F(TerminalSimulator, ConnectsAndReadsTheSerialNumber)
{
    connectTo("127.0.16.1");
    click("btngetdevicekey");
    EXPECT_EQ(field<QLineEdit>("edtSerialNo")->text(), "QM7F001001");
    EXPECT_EQ(lines("mmoLog").first(), u("连接成功"));
    EXPECT_EQ(lines("mmoLog").last(), u("127.0.16.1序列号:QM7F001001"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TerminalSimulator, AChangedPasswordRejectsTheOldOne)
{
    connectTo("127.0.16.2", {"--password", "old 1"});
    field<QLineEdit>("edtPasswordOld")->setText("old 1");
    field<QLineEdit>("edtPasswordNew")->setText(u("新密码"));
    click("btnsetpassword");
    EXPECT_EQ(lines("mmoLog").last(), u("127.0.16.2修改密码成功"));

    field<QLineEdit>("edtPasswordNew")->setText("again");
    click("btnsetpassword");
    EXPECT_EQ(lines("mmoLog").last(), u("127.0.16.2修改密码失败[原密码错误]"));

    field<QLineEdit>("edtPasswordOld")->setText(u("新密码"));
    click("btnsetpassword");
    EXPECT_EQ(lines("mmoLog").last(), u("127.0.16.2修改密码成功"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TerminalSimulator, TheToolsServerLogsTheTerminalsHeartbeatsAndEvents)
{
    connectTo("127.0.16.3");
    field<QLineEdit>("edtIP1")->setText("127.0.16.103");
    field<QLineEdit>("edtPort")->setText("8090");
    click("btn8");
    ASSERT_EQ(field<QPushButton>("btn8")->text(), u("停止识别回调"));

    sendAsTheTool("setServerAddress", {{"pass", "58104726"},
                                       {"serverurl", "http://127.0.16.103:8090/comApi/"},
                                       {"interval", "1"},
                                       {"base64Enable", "1"}});
    const QByteArray registered = sendAsTheTool(
        "setDeviceHeartBeat", {{"pass", "58104726"}, {"url", "http://127.0.16.103:8090/api/heartBeat"}});
    EXPECT_TRUE(registered.contains(R"("success":true)")) << registered.toStdString();
    EXPECT_TRUE(waitInPane("mmoLog", "/api/heartBeat", 2));
    EXPECT_TRUE(pane("mmoLog").contains("deviceKey=QM7F001003"));

    sendAsTheTool("setIdentifyCallBack", {{"pass", "58104726"},
                                          {"callbackUrl", "http://127.0.16.103:8090/attendance"},
                                          {"base64Enable", "1"}});
    terminal->type("event");
    EXPECT_TRUE(waitInPane("mmoLog", "/attendance"));
    EXPECT_TRUE(waitInPane("mmoLog", "type=face_0"));
    EXPECT_TRUE(
        terminal->waitForOutput(R"(-> http://127.0.16.103:8090/attendance: {"result":1,"success":true})"));

    click("btn8");
    EXPECT_EQ(field<QPushButton>("btn8")->text(), u("启动识别回调"));
    EXPECT_TRUE(errors.isEmpty());
}
