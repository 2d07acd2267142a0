#include "support/FakeTerminal.h"
#include "app/LogView.h"
#include "support/FtpServerFixture.h"
#include "support/WindowTest.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class RecognitionRecordPage : public WindowTest
{
protected:
    RecognitionRecordPage() { show(); }

    void click(const char* button) { QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton); }
    QString log() { return field<LogView>("mmoLog2")->toPlainText(); }

    void connectTo(const FakeTerminal& terminal)
    {
        field<QLineEdit>("edtIP")->setText(terminal.host());
        click("btnLink");
        ASSERT_EQ(field<QPushButton>("btnLink")->text(), u("销毁连接"));
    }
};

} // namespace

TEST_F(RecognitionRecordPage, QueryLogsTheReplyAndStoresThePhotosInPic)
{
    FakeTerminal terminal(110, 8090, "127.0.11.");
    FtpServerFixture ftp(terminal.host().toLatin1());
    FtpServerFixture::putFile(ftp.userRoot(), "IdentifyRecords/d/1.jpg", "one");
    FtpServerFixture::putFile(ftp.userRoot(), "IdentifyRecords/d/2.jpg", "two");
    connectTo(terminal);
    const QString reply = R"({"success":true,"data":"{\"records\":[)"
                          R"({\"time\":\"r1\",\"path\":\"/x/IdentifyRecords/d/1.jpg\"},)"
                          R"({\"time\":\"r2\",\"path\":\"/x/IdentifyRecords/d/2.jpg\"}]}"})";
    terminal.then(TerminalReply::json(reply));
    click("btn12");
    EXPECT_EQ(terminal.lastRequest().target,
              "/newFindRecords?pass=58104726&personId=-1&startTime=2019-06-29%2000:00:00"
              "&endTime=2019-06-29%2023:59:59&length=100&model=-1&order=1&index=0");
    EXPECT_EQ(log(), reply);
    const QDir pic(folder.filePath("pic"));
    EXPECT_EQ(pic.entryList(QDir::Files), (QStringList{"r1.jpg", "r2.jpg"}));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(RecognitionRecordPage, APageSizeThatIsNoNumberStopsTheQueryBeforeSending)
{
    FakeTerminal terminal(111, 8090, "127.0.11.");
    connectTo(terminal);
    field<QLineEdit>("edtPageRecords")->setText("ten");
    click("btn12");
    EXPECT_EQ(terminal.requestCount(), 1);
    EXPECT_EQ(errors, QStringList{"'ten' is not a valid integer value"});
    EXPECT_EQ(log(), "");
}

TEST_F(RecognitionRecordPage, UnixDeletionSendsTheSameMidnightTwiceAndReportsSuccess)
{
    FakeTerminal terminal(112, 8090, "127.0.11.");
    connectTo(terminal);
    field<QLineEdit>("edtFindEmpID")->setText("5");
    terminal.then(TerminalReply::json(R"({"success":true})"));
    click("btn14");
    EXPECT_EQ(terminal.lastRequest().body,
              "pass=58104726&personId=5&startTime=1561766400000&endTime=1561766400000&model=%2D1");
    EXPECT_EQ(log(), QString(R"({"success":true})") + '\n' + u("删除成功"));
}

TEST_F(RecognitionRecordPage, ClosingTheWindowEndsAPhotoFetchFromASilentServer)
{
    // An FTP address that accepts connections but never greets.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(8010);
    ::inet_pton(AF_INET, "127.0.11.113", &at.sin_addr);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(::listen(listener, 4), 0);

    FakeTerminal terminal(113, 8090, "127.0.11.");
    connectTo(terminal);
    terminal.then(TerminalReply::json(R"({"success":true,"data":"{\"records\":[)"
                                      R"({\"time\":\"r1\",\"path\":\"IdentifyRecords/1.jpg\"}]}"})"));
    QTimer::singleShot(300, &window, [this] { window.close(); });
    QElapsedTimer waited;
    waited.start();
    click("btn12");
    // The fetch would otherwise wait for its ten-second time-out.
    EXPECT_LT(waited.elapsed(), 5000);
    EXPECT_FALSE(QFile::exists(QDir(folder.filePath("pic")).filePath("r1.jpg")));
    ::close(listener);
}
