#include "common/PictureBase64.h"
#include "app/LogView.h"
#include "device/FormFields.h"
#include "support/FakeTerminal.h"
#include "support/FtpServerFixture.h"
#include "support/TestFiles.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QByteArray jpeg(int width, int height)
{
    return jpegBytes(width, height, Qt::darkGreen);
}

// Runs step on the next modal dialog once it is open.
void whenModal(std::function<void(QWidget*)> step)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            step(modal);
        }
    });
    timer->start(10);
}

class PersonPhotoPage : public WindowTest
{
protected:
    PersonPhotoPage() { show(); }

    void click(const char* button) { QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton); }
    QStringList logLines() { return field<LogView>("mmoLog1")->toPlainText().split('\n'); }

    void connectTo(const FakeTerminal& terminal)
    {
        field<QLineEdit>("edtIP")->setText(terminal.host());
        click("btnLink");
        ASSERT_EQ(field<QPushButton>("btnLink")->text(), u("销毁连接"));
    }

    // Picks a file in the photo dialog, or cancels it when path is empty.
    void pick(const QString& path)
    {
        whenModal([path](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_TRUE(dialog);
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            static_cast<QDialog*>(dialog)->accept();
        });
        click("btn10");
    }

    QString writePhoto(const char* name, const QByteArray& bytes)
    {
        return writeTestFile(folder.filePath(name), bytes);
    }
};

} // namespace

TEST_F(PersonPhotoPage, PersonCommandsLogTheirRepliesAndTransferErrorsGoToTheErrorBox)
{
    FakeTerminal terminal(100, 8090, "127.0.11.");
    connectTo(terminal);
    const QString reply = u(R"({"success":true,"msg":"成功"})");
    terminal.then(TerminalReply::json(reply));
    click("btn3");
    EXPECT_EQ(terminal.lastRequest().body,
              "pass=58104726&person=" +
                  encodeFormValue("{\"id\":\"10050\",\"idcardNum\":\"00000065\",\"name\":\"" +
                                  u("测试").toUtf8() + "\",\"IDNumber\":\"00000065\",\"tag\":\"XD888\"}"));
    EXPECT_EQ(logLines(), QStringList{reply});

    field<QLineEdit>("edtEmpID")->clear();
    terminal.then(TerminalReply::json(reply));
    click("btn9");
    EXPECT_EQ(terminal.lastRequest().target,
              "/person/findByPage?pass=58104726&personId=&length=1000&index=0");

    terminal.then(TerminalReply::status(500, "Internal Server Error"));
    click("btn22");
    EXPECT_EQ(logLines(),
              (QStringList{reply, reply, "08:00:00,10:00:00,11:00:00,13:00:00,15:00:00,18:00:00"}));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains("500"));
}

TEST_F(PersonPhotoPage, RegistrationWithoutAPhotoShowsAMessageAndSendsNothing)
{
    FakeTerminal terminal(101, 8090, "127.0.11.");
    connectTo(terminal);
    QString shown;
    whenModal([&shown](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_TRUE(box);
        shown = box->text();
        box->accept();
    });
    click("btn13");
    EXPECT_EQ(shown, u("请先选择照片"));
    EXPECT_EQ(terminal.requestCount(), 1);
    EXPECT_EQ(field<LogView>("mmoLog1")->toPlainText(), "");
}

TEST_F(PersonPhotoPage, PickedPhotoIsShownSentAsItsFileBytesAndACancelReloadsIt)
{
    FakeTerminal terminal(102, 8090, "127.0.11.");
    connectTo(terminal);
    pick("");
    EXPECT_TRUE(field<QLabel>("imgEmp")->pixmap().isNull());

    const QByteArray bytes = jpeg(30, 20);
    const QString path = writePhoto("face.jpg", bytes);
    pick(path);
    EXPECT_EQ(field<QLabel>("imgEmp")->pixmap().size(), QSize(30, 20));
    EXPECT_EQ(field<QFileDialog>("OpenPictureDialog")->nameFilters().size(), 7);

    // The file changes on disk; a cancelled dialog loads it again.
    writePhoto("face.jpg", jpeg(40, 10));
    pick("");
    EXPECT_EQ(field<QLabel>("imgEmp")->pixmap().size(), QSize(40, 10));

    terminal.then(TerminalReply::json(R"({"success":true})"));
    click("btn13");
    EXPECT_EQ(terminal.lastRequest().requestLine, "POST /face HTTP/1.0");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&personId=10050&faceId=10050&base64=" +
                                               encodeFormValue(toBase64Lines(jpeg(40, 10)).toLatin1()) +
                                               "&isEasyWay=false");
    EXPECT_EQ(logLines(), QStringList{R"({"success":true})"});
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(PersonPhotoPage, PhotoQueryStoresThePhotoBesideTheProgramAndShowsIt)
{
    FakeTerminal terminal(103, 8090, "127.0.11.");
    FtpServerFixture ftp(terminal.host().toLatin1());
    FtpServerFixture::putFile(ftp.anonymousRoot(), "RegisterPhoto/7.jpg", jpeg(25, 15));
    connectTo(terminal);
    field<QCheckBox>("chkUseFtpPass")->setChecked(false);
    field<QLineEdit>("edtFaceID")->setText("42");
    terminal.then(TerminalReply::json(R"({"success":true,"data":[{"path":"/a/RegisterPhoto/7.jpg"}]})"));
    click("btnfacefind");
    EXPECT_EQ(logLines(), QStringList{"path:/a/RegisterPhoto/7.jpg"});
    EXPECT_TRUE(QFile::exists(folder.filePath("42.jpg")));
    EXPECT_EQ(field<QLabel>("imgPic")->pixmap().size(), QSize(25, 15));
    ftp.settle();
    EXPECT_EQ(ftp.logins(), QStringList{"anonymous"});
    EXPECT_TRUE(errors.isEmpty());
}
