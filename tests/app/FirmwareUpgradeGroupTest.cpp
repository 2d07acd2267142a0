#include "support/FakeTerminal.h"
#include "app/LogView.h"
#include "support/TestFiles.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>

namespace {

// A shown window connected to a fake terminal; the file dialog is answered
// as soon as it opens.
class FirmwareUpgradeGroup : public WindowTest
{
protected:
    explicit FirmwareUpgradeGroup(int lastOctet) : terminal(lastOctet, 8090, "127.0.12.")
    {
        show();
        field<QLineEdit>("edtIP")->setText(terminal.host());
        click("btnLink");
        EXPECT_EQ(terminal.requestCount(), 1);
    }

    void click(const char* button) { QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton); }

    // Picks the file, or cancels for an empty path, once the dialog runs.
    void answerDialog(const QString& path)
    {
        QTimer::singleShot(0, &window, [this, path] {
            auto* dialog = field<QFileDialog>("OpenDialog1");
            EXPECT_TRUE(dialog->isVisible());
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            static_cast<QDialog*>(dialog)->accept(); // protected in QFileDialog
        });
    }

    QString firmwareFile(const QByteArray& bytes) { return writeTestFile(folder.filePath("screen.bin"), bytes); }

    QStringList lines(const char* pane) { return field<LogView>(pane)->toPlainText().split('\n'); }

    FakeTerminal terminal;
};

class FirmwarePicked : public FirmwareUpgradeGroup
{
protected:
    FirmwarePicked() : FirmwareUpgradeGroup(30) {}
};

class FirmwareCancelled : public FirmwareUpgradeGroup
{
protected:
    FirmwareCancelled() : FirmwareUpgradeGroup(31) {}
};

class FirmwareFileEdges : public FirmwareUpgradeGroup
{
protected:
    FirmwareFileEdges() : FirmwareUpgradeGroup(32) {}
};

} // namespace

TEST_F(FirmwarePicked, UploadSendsTheFileAsHexAndLaterCommandsWaitFiveSeconds)
{
    const QString path = firmwareFile(QByteArray("\x00\x0A\xFF", 3));
    terminal.then(TerminalReply::json(u(R"({"success":true,"msg":"升级成功"})")));
    answerDialog(path);
    click("btnbootOnline");

    EXPECT_EQ(field<QLineEdit>("edtBinFile")->text(), QDir::toNativeSeparators(path));
    EXPECT_EQ(terminal.lastRequest().requestLine, "POST /bootOnline HTTP/1.0");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&binData=000AFF");
    EXPECT_EQ(lines("mmMsg"),
              (QStringList{u(R"({"success":true,"msg":"升级成功"})"), u("127.0.12.30升级成功")}));

    terminal.setDefaultReply(TerminalReply::silence());
    const auto started = std::chrono::steady_clock::now();
    click("btngetdevicekey");
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(lines("mmoLog").last(), u("操作失败"));
    EXPECT_GE(waited, std::chrono::milliseconds(4900));
    EXPECT_LT(waited, std::chrono::seconds(8));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(FirmwareCancelled, CancelledDialogChangesNothing)
{
    const QString before = field<QLineEdit>("edtBinFile")->text();
    answerDialog({});
    click("btnbootOnline");
    EXPECT_EQ(field<QLineEdit>("edtBinFile")->text(), before);
    EXPECT_EQ(terminal.requestCount(), 1);
    EXPECT_EQ(field<LogView>("mmMsg")->toPlainText(), "");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(FirmwareFileEdges, EmptyFileSendsThePasswordAloneAndAVanishedFileEndsInTheErrorBox)
{
    const QString path = firmwareFile({});
    terminal.then(TerminalReply::json(R"({"success":false})"));
    answerDialog(path);
    click("btnbootOnline");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726");
    EXPECT_EQ(lines("mmMsg").last(), u("127.0.12.32串口屏固件升级失败"));

    // Readable when chosen, gone when read: the dialog accepts, the read fails.
    QTimer::singleShot(0, &window, [this, path] {
        auto* dialog = field<QFileDialog>("OpenDialog1");
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(dialog)->accept(); // protected in QFileDialog
        QFile::remove(path);
    });
    click("btnbootOnline");
    EXPECT_EQ(terminal.requestCount(), 2);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(u("Cannot open file"))) << errors[0].toStdString();
}
