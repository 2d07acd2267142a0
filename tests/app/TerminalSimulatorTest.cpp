#include "device/FormFields.h"
#include "app/LogView.h"
#include "device/HttpClient.h"
#include "support/ChildProcess.h"
#include "support/SimulatorProcess.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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
    QString pane(const char* name) { return field<LogView>(name)->toPlainText(); }
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

    // Picks path in the window's photo dialog, as a user would.
    void pickPhoto(const QString& path)
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
        click("btn10");
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
    EXPECT_TRUE(terminal->waitForOutput("/api/heartBeat: 200, empty"));

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

TEST_F(TerminalSimulator, ACreatedPersonIsFound)
{
    connectTo("127.0.16.4");
    field<QLineEdit>("edtEmpID")->setText("7001");
    field<QLineEdit>("edtEmpName")->setText(u("张三"));
    click("btn3");
    EXPECT_TRUE(lines("mmoLog1").last().contains(u("创建人员成功")));

    click("btn6");
    EXPECT_TRUE(lines("mmoLog1").last().contains(u(R"("id":"7001")")));
    EXPECT_TRUE(lines("mmoLog1").last().contains(u(R"("name":"张三")")));

    click("btn9");
    EXPECT_TRUE(lines("mmoLog1").last().contains(u(R"("total":1)")));
    EXPECT_TRUE(lines("mmoLog1").last().contains(u(R"("name":"张三")")));

    field<QLineEdit>("edtEmpID")->setText("7002");
    click("btn6");
    EXPECT_TRUE(lines("mmoLog1").last().contains(u(R"("success":false)")));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TerminalSimulator, APersonWithAGbkIdKeepsItsUtf8Name)
{
    connectTo("127.0.16.10");
    field<QLineEdit>("edtEmpID")->setText(u("工7"));
    field<QLineEdit>("edtEmpName")->setText(u("张三"));
    click("btn3");
    click("btn6");
    EXPECT_TRUE(lines("mmoLog1").last().contains(u(R"("id":"工7")")));
    EXPECT_TRUE(lines("mmoLog1").last().contains(u(R"("name":"张三")")));
}

TEST_F(TerminalSimulator, ARegisteredFacePhotoComesBackOverFtp)
{
    connectTo("127.0.16.5");
    const QString photo = folder.filePath("face.jpg");
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(photo, "JPG"));
    pickPhoto(photo);
    field<QLineEdit>("edtEmpID")->setText("7101");
    field<QLineEdit>("edtFaceID")->setText("7101");
    click("btn3");
    click("btn13");
    EXPECT_TRUE(lines("mmoLog1").last().contains(u(R"("success":true)"))) << pane("mmoLog1").toStdString();

    click("btnfacefind");
    EXPECT_TRUE(pane("mmoLog1").contains("RegisterPhoto/7101.jpg")) << pane("mmoLog1").toStdString();
    EXPECT_TRUE(QFile::exists(folder.filePath("7101.jpg")));
    EXPECT_EQ(field<QLabel>("imgPic")->pixmap().size(), QSize(48, 32));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(TerminalSimulator, QueriedRecordsHaveTheirPhotosInPic)
{
    connectTo("127.0.16.6", {"--records", "3"});
    // The records are a few minutes old; the form's own range is a day long past.
    field<QDateTimeEdit>("dtpBegDate")->setDate(QDate::currentDate().addDays(-1));
    field<QDateTimeEdit>("dtpEndDate")->setDate(QDate::currentDate());
    click("btn12");
    EXPECT_TRUE(pane("mmoLog2").contains(u(R"("total":3)"))) << pane("mmoLog2").toStdString();
    const QDir pic(QDir(folder.path()).filePath("pic"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return pic.entryList({"*.jpg"}, QDir::Files).size() == 3; }, 10000))
        << pic.entryList(QDir::Files).join(' ').toStdString();
    for (const QString& name : pic.entryList({"*.jpg"}, QDir::Files))
        EXPECT_FALSE(QImage(pic.filePath(name)).isNull()) << name.toStdString();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(TerminalSimulator, APaymentRoundIsAnsweredFromTheWindowsFields)
{
    connectTo("127.0.16.7");
    field<QLineEdit>("edtIP1")->setText("127.0.16.107");
    field<QLineEdit>("edtPort")->setText("8090");
    click("btn8");
    ASSERT_EQ(field<QPushButton>("btn8")->text(), u("停止识别回调"));
    field<QLineEdit>("edtserverurl")->setText("http://127.0.16.107:8090/api/pay/");
    click("btnsetServerAddress");
    EXPECT_TRUE(pane("mmMsg").contains(u(R"("success":true)"))) << pane("mmMsg").toStdString();

    field<QLineEdit>("edtpersonName")->setText(u("李四"));
    field<QLineEdit>("edtpersonName2")->setText(u("李四买饭"));
    terminal->type("pay");
    EXPECT_TRUE(terminal->waitForOutput(u("queryAccount: {")));
    EXPECT_TRUE(terminal->waitForOutput(u(R"("personName":"李四买饭")")));
    EXPECT_TRUE(terminal->output().contains(u(R"("personName":"李四",)")))
        << terminal->output().toStdString();
    EXPECT_TRUE(pane("mmMsg").contains(u(R"("personName":"李四",)")));
    EXPECT_TRUE(pane("mmMsg").contains(u(R"("personName":"李四买饭")")));
    EXPECT_EQ(field<QLineEdit>("edtpersonId")->text(), "10000");
    EXPECT_EQ(field<QLineEdit>("edtpersonId2")->text(), "10000");

    click("btn8");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(TerminalSimulator, TheLoadModesMixIsAnsweredByTheToolsServer)
{
    field<QLineEdit>("edtIP1")->setText("127.0.16.108");
    field<QLineEdit>("edtPort")->setText("8090");
    click("btn8");
    ASSERT_EQ(field<QPushButton>("btn8")->text(), u("停止识别回调"));

    QProcess load;
    load.setProcessChannelMode(QProcess::MergedChannels);
    endsWithTest(load);
    load.start(SimulatorProcess::program(),
               {"--load", "2", "--rate", "10", "--seconds", "1", "--server", "http://127.0.16.108:8090/"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return load.state() == QProcess::NotRunning; }, 20000));
    const QString report = QString::fromLocal8Bit(load.readAll());
    EXPECT_EQ(load.exitCode(), 0) << report.toStdString();
    EXPECT_TRUE(report.contains("sent 10, answered 10, errors 0")) << report.toStdString();
    EXPECT_EQ(pane("mmoLog").count("/api/heartBeat"), 4);
    EXPECT_EQ(pane("mmoLog").count("/attendance"), 2);
    EXPECT_EQ(pane("mmMsg").count(u("查询成功")), 2);

    click("btn8");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}
