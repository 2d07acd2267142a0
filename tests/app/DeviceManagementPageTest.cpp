#include "support/FakeTerminal.h"
#include "app/LogView.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A shown window whose device management page talks to a fake terminal.
class DeviceManagementPage : public WindowTest
{
protected:
    DeviceManagementPage() { show(); }

    void click(const char* button) { QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton); }

    QStringList logLines() { return field<LogView>("mmoLog")->toPlainText().split('\n'); }

    void connectTo(const FakeTerminal& terminal)
    {
        field<QLineEdit>("edtIP")->setText(terminal.host());
        click("btnLink");
        ASSERT_EQ(field<QPushButton>("btnLink")->text(), u("销毁连接"));
    }
};

} // namespace

TEST_F(DeviceManagementPage, ConnectReadSerialDisconnectAndReadAgain)
{
    FakeTerminal terminal(51);
    terminal.then(TerminalReply::json(R"({"success":true,"data":"KEY"})"));
    connectTo(terminal);
    EXPECT_EQ(logLines(), QStringList{u("连接成功")});

    terminal.then(TerminalReply::json(R"({"success":true,"data":"ABC123"})"));
    click("btngetdevicekey");
    EXPECT_EQ(field<QLineEdit>("edtSerialNo")->text(), "ABC123");
    EXPECT_EQ(terminal.lastRequest().requestLine, "POST /getDeviceKey HTTP/1.0");
    EXPECT_EQ(terminal.lastRequest().header("Host"), "127.0.2.51:8090");

    click("btnLink");
    EXPECT_EQ(field<QPushButton>("btnLink")->text(), u("连接"));
    field<QLineEdit>("edtIP")->setText("127.0.2.52");
    terminal.then(TerminalReply::json(R"({"success":false})"));
    click("btngetdevicekey");
    EXPECT_EQ(terminal.requestCount(), 3);
    EXPECT_EQ(field<QLineEdit>("edtSerialNo")->text(), "");
    EXPECT_EQ(logLines(),
              (QStringList{u("连接成功"), R"({"success":true,"data":"ABC123"})", u("127.0.2.51序列号:ABC123"),
                           R"({"success":false})", u("127.0.2.51获取序列号失败")}));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DeviceManagementPage, ConnectWithAnEmptyAddressSendsAndLogsNothing)
{
    FakeTerminal terminal(53);
    field<QLineEdit>("edtIP")->setText("");
    click("btnLink");
    EXPECT_EQ(terminal.requestCount(), 0);
    EXPECT_EQ(field<LogView>("mmoLog")->toPlainText(), "");
    EXPECT_EQ(field<QPushButton>("btnLink")->text(), u("连接"));
}

TEST_F(DeviceManagementPage, ChangePasswordSendsTheFieldsAsTheyAreAtTheClick)
{
    FakeTerminal terminal(54);
    connectTo(terminal);
    field<QLineEdit>("edtPasswordOld")->setText("58104726");
    field<QLineEdit>("edtPasswordNew")->setText(u("新 1"));
    terminal.then(TerminalReply::json(u(R"({"success":false,"msg":"旧密码错误"})")));
    click("btnsetpassword");
    EXPECT_EQ(terminal.lastRequest().body, "oldPass=58104726&newPass=%D0%C2+1");
    EXPECT_EQ(logLines().last(), u("127.0.2.54修改密码失败[旧密码错误]"));
    EXPECT_EQ(field<QLineEdit>("edtPasswordNew")->text(), u("新 1"));
}

TEST_F(DeviceManagementPage, WindowServesQueuedWorkAndIgnoresClicksWhileACommandWaits)
{
    FakeTerminal terminal(55);
    connectTo(terminal);
    bool servedDuringWait = false;
    Qt::CursorShape cursorDuringWait = Qt::ArrowCursor;
    auto* button = field<QPushButton>("btngetdevicekey");
    // The terminal answers only after the window thread has run work handed to
    // it from the terminal's thread; that work also clicks the button again.
    terminal.then(TerminalReply::json(R"({"success":true,"data":"ONE"})").beforeAnswer([&] {
        QMetaObject::invokeMethod(
            &window,
            [&] {
                servedDuringWait = true;
                if (const QCursor* cursor = QApplication::overrideCursor())
                    cursorDuringWait = cursor->shape();
                QTest::mouseClick(button, Qt::LeftButton);
            },
            Qt::BlockingQueuedConnection);
    }));
    click("btngetdevicekey");
    QCoreApplication::processEvents();

    EXPECT_TRUE(servedDuringWait);
    EXPECT_EQ(cursorDuringWait, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(terminal.requestCount(), 2);
    EXPECT_EQ(logLines().last(), u("127.0.2.55序列号:ONE"));
}

TEST_F(DeviceManagementPage, ClosingTheWindowWhileACommandWaitsEndsTheCommand)
{
    FakeTerminal terminal(56);
    connectTo(terminal);
    terminal.then(TerminalReply::silence().beforeAnswer([&] {
        QMetaObject::invokeMethod(
            &window, [&] { window.close(); }, Qt::QueuedConnection);
    }));
    click("btngetdevicekey");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(logLines().last(), u("操作失败"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DeviceManagementPage, ClosingTheWindowDuringAWaitEndsTheRunningProgram)
{
    FakeTerminal terminal(57);
    connectTo(terminal);
    terminal.then(TerminalReply::silence().beforeAnswer([&] {
        QMetaObject::invokeMethod(
            &window, [&] { window.close(); }, Qt::QueuedConnection);
    }));
    QTimer::singleShot(0, &window, [&] { click("btngetdevicekey"); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(logLines().last(), u("操作失败"));
}
