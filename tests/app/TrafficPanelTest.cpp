#include "app/LogView.h"
#include "app/TrafficPanelGeometry.h"
#include "support/FakeTerminal.h"
#include "support/FtpServerFixture.h"
#include "support/LoopbackClient.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class TrafficRecording : public WindowTest
{
protected:
    TrafficRecording() { show(); }

    void click(const char* button) { QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton); }

    void connectTo(const FakeTerminal& terminal)
    {
        field<QLineEdit>("edtIP")->setText(terminal.host());
        click("btnLink");
    }

    void toggle()
    {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QApplication::processEvents(); // lays the splitter out
    }

    // The panel's rows are filled in batches; this takes the next one at once.
    QTreeWidget* rows()
    {
        QMetaObject::invokeMethod(field<QWidget>("trafficPanel"), "refresh");
        return field<QTreeWidget>("lvTraffic");
    }
};

QList<QByteArray> sortedHeaders(const RecordedRequest& request)
{
    QList<QByteArray> headers = request.headerLines;
    std::sort(headers.begin(), headers.end());
    return headers;
}

} // namespace

TEST_F(TrafficRecording, ADeviceCommandIsRecordedWithTheBytesBothWays)
{
    FakeTerminal terminal(1, 8090, "127.0.17.");
    const QByteArray reply = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 32\r\n"
                             "Connection: close\r\n\r\n{\"success\":true,\"data\":\"ABC123\"}";
    terminal.then(TerminalReply::raw(reply));
    connectTo(terminal);

    const QList<TrafficRecord> records = window.trafficLog().since(0);
    ASSERT_EQ(records.size(), 1);
    const TrafficRecord& record = records[0];
    EXPECT_EQ(record.role, TrafficRecord::Role::DeviceCommand);
    EXPECT_EQ(record.context, "btnLink");
    EXPECT_EQ(record.method, "POST");
    EXPECT_EQ(record.target, "http://127.0.17.1:8090/getDeviceKey");
    EXPECT_EQ(record.status, 200);
    EXPECT_TRUE(record.result.isEmpty());
    EXPECT_EQ(record.request, terminal.lastRequest().raw);
    EXPECT_EQ(record.reply, reply);
    EXPECT_EQ(record.replySize, reply.size());
    EXPECT_EQ(field<LogView>("mmoLog")->toPlainText(), u("连接成功"));
}

TEST_F(TrafficRecording, AFailedCommandIsRecordedWithItsError)
{
    FakeTerminal terminal(2, 8090, "127.0.17.");
    terminal.then(TerminalReply::hangUp());
    connectTo(terminal);
    const TrafficRecord record = window.trafficLog().since(0).value(0);
    EXPECT_EQ(record.status, 0);
    EXPECT_FALSE(record.result.isEmpty());
    EXPECT_EQ(record.request, terminal.lastRequest().raw);
    EXPECT_TRUE(record.reply.isEmpty());
}

TEST_F(TrafficRecording, AServerRequestIsRecordedAsTheClientSentAndReceivedIt)
{
    field<QLineEdit>("edtIP1")->setText("127.0.17.20");
    field<QLineEdit>("edtPort")->setText("8090");
    click("btn8");
    const QByteArray request = "POST /attendance?sn=1 HTTP/1.1\r\nHost: 127.0.17.20:8090\r\n"
                               "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n\r\na=1&b=2";
    const QByteArray answer = whileServing([&] { return exchange("127.0.17.20", 8090, request); });
    ASSERT_FALSE(answer.isEmpty());

    const QList<TrafficRecord> records = window.trafficLog().since(0);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].role, TrafficRecord::Role::ServerRequest);
    EXPECT_EQ(records[0].context, "/attendance");
    EXPECT_EQ(records[0].method, "POST");
    EXPECT_EQ(records[0].target, "/attendance?sn=1");
    EXPECT_EQ(records[0].status, 200);
    EXPECT_EQ(records[0].request, request);
    EXPECT_EQ(records[0].reply, answer);
}

TEST_F(TrafficRecording, CopyAsCurlSendsTheSameRequestAgain)
{
    FakeTerminal terminal(3, 8090, "127.0.17.");
    connectTo(terminal);
    field<QLineEdit>("edtPasswordOld")->setText(u("a b+c&开"));
    click("btnsetpassword");
    ASSERT_EQ(terminal.requestCount(), 2);

    QTreeWidget* list = rows();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    list->setCurrentItem(list->topLevelItem(1));
    click("btnCopyCurl");
    const QString command = QApplication::clipboard()->text();
    ASSERT_TRUE(command.contains("curl")) << command.toStdString();

    QProcess curl;
    curl.start("bash", {"-c", command});
    ASSERT_TRUE(curl.waitForFinished(20000));
    EXPECT_EQ(curl.exitCode(), 0) << curl.readAllStandardError().toStdString();
    ASSERT_EQ(terminal.requestCount(), 3);
    const std::vector<RecordedRequest> sent = terminal.requests();
    EXPECT_EQ(sent[2].requestLine, sent[1].requestLine);
    EXPECT_EQ(sortedHeaders(sent[2]), sortedHeaders(sent[1]));
    EXPECT_EQ(sent[2].body, sent[1].body);
    EXPECT_EQ(sent[1].body, "oldPass=a+b%2Bc%26%BF%AA&newPass=58104726");
}

TEST_F(TrafficRecording, ThePanelIsHiddenAtStartAndToggledWithoutMovingThePages)
{
    QWidget* panel = field<QWidget>("trafficPanel");
    QWidget* pages = field<QWidget>("pgc1");
    EXPECT_TRUE(panel->isHidden());
    const QSize pagesSize = pages->size();
    const int windowWidth = window.width();

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* mmoLog = field<LogView>("mmoLog");
    mmoLog->setFocus();
    QTest::keyClick(mmoLog, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(pages->size(), pagesSize);
    EXPECT_GT(window.width(), windowWidth);

    auto* list = field<QTreeWidget>("lvTraffic");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(window.width(), windowWidth);
    EXPECT_EQ(pages->size(), pagesSize);

    // The log panes' context menu offers it too.
    LogView* pane = field<LogView>("mmoLog2");
    field<QTabWidget>("pgc1")->setCurrentIndex(2);
    emit pane->customContextMenuRequested(QPoint(5, 5));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* entry = nullptr;
    for (QAction* action : menu->actions())
        if (action->text() == u("通信记录"))
            entry = action;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    menu->close();
    EXPECT_FALSE(panel->isHidden());
}

TEST_F(TrafficRecording, SelectingARecordShowsItsTextHexAndJson)
{
    FakeTerminal terminal(4, 8090, "127.0.17.");
    terminal.then(TerminalReply::json(u(R"({"success":true,"data":"开"})")));
    connectTo(terminal);
    QTreeWidget* list = rows();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    list->setCurrentItem(list->topLevelItem(0));
    field<QComboBox>("cbTrafficSide")->setCurrentIndex(1);
    EXPECT_TRUE(field<QPlainTextEdit>("mmTrafficText")->toPlainText().contains(u(R"("data":"开")")));
    EXPECT_TRUE(field<QPlainTextEdit>("mmTrafficHex")->toPlainText().contains("E5 BC 80"));
    EXPECT_EQ(field<QPlainTextEdit>("mmTrafficJson")->toPlainText(),
              u("{\n  \"success\": true,\n  \"data\": \"开\"\n}"));
    field<QComboBox>("cbTrafficEncoding")->setCurrentIndex(1);
    EXPECT_FALSE(field<QPlainTextEdit>("mmTrafficText")->toPlainText().contains(u("开")));
}

TEST_F(TrafficRecording, AnFtpFetchIsRecordedWithItsControlChannelAndThePhoto)
{
    FakeTerminal terminal(5, 8090, "127.0.17.");
    FtpServerFixture ftp(terminal.host().toLatin1());
    const QByteArray photo = "\xFF\xD8\xFF\xE0 not quite a photo \xFF\xD9";
    FtpServerFixture::putFile(ftp.anonymousRoot(), "RegisterPhoto/7.jpg", photo);
    connectTo(terminal);
    field<QCheckBox>("chkUseFtpPass")->setChecked(false);
    field<QLineEdit>("edtFaceID")->setText("42");
    terminal.then(TerminalReply::json(R"({"success":true,"data":[{"path":"/a/RegisterPhoto/7.jpg"}]})"));
    click("btnfacefind");

    const QList<TrafficRecord> records = window.trafficLog().since(0);
    ASSERT_EQ(records.size(), 3); // connect, photo query, fetch
    const TrafficRecord& fetch = records[2];
    EXPECT_EQ(fetch.role, TrafficRecord::Role::FtpFetch);
    EXPECT_EQ(fetch.context, "btnfacefind");
    EXPECT_EQ(fetch.target, "127.0.17.5  RegisterPhoto  7.jpg");
    EXPECT_TRUE(fetch.result.isEmpty()) << fetch.result.toStdString();
    EXPECT_EQ(fetch.reply, photo);
    EXPECT_TRUE(fetch.request.contains("> USER anonymous\r\n"));
    EXPECT_TRUE(fetch.request.contains("> CWD RegisterPhoto\r\n"));
    EXPECT_TRUE(fetch.request.contains("> RETR 7.jpg\r\n"));
    EXPECT_TRUE(fetch.request.contains("< 226"));
    EXPECT_EQ(records[1].context, "btnfacefind");
}

TEST_F(TrafficRecording, ThePanelStaysOnEachScreenAndClosingGivesTheGeometryBack)
{
    QWidget* pages = field<QWidget>("pgc1");
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect available = screen->availableGeometry();
        window.setScreen(screen);
        window.move(available.center() - window.frameGeometry().center() + window.pos());
        const QRect before = window.geometry();
        const QSize pagesSize = pages->size();
        toggle();
        EXPECT_TRUE(available.contains(window.frameGeometry())) << screen->name().toStdString();
        EXPECT_GE(field<QWidget>("trafficPanel")->width(), TrafficPanelGeometry::kMinimumPanelWidth);
        EXPECT_TRUE(pages->size() == pagesSize || window.frameGeometry().width() == available.width());
        toggle();
        EXPECT_EQ(window.geometry(), before);
        EXPECT_EQ(pages->size(), pagesSize);
    }
}

TEST_F(TrafficRecording, RowsNameButtonsByCaptionAndRequestsByRouteAndKeepNoHiddenDetail)
{
    FakeTerminal terminal(6, 8090, "127.0.17.");
    connectTo(terminal);
    click("btngetdevicekey");
    field<QLineEdit>("edtIP1")->setText("127.0.17.21");
    click("btn8");
    whileServing([&] { return exchange("127.0.17.21", 8090, "GET /nowhere HTTP/1.1\r\nHost: a\r\n\r\n"); });
    QTreeWidget* list = rows();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(1)->text(2),
              field<QPushButton>("btngetdevicekey")->text() + " (btngetdevicekey)");
    EXPECT_EQ(list->topLevelItem(2)->text(2), u("未匹配"));
    list->setCurrentItem(list->topLevelItem(1));
    ASSERT_FALSE(field<QPlainTextEdit>("mmTrafficText")->toPlainText().isEmpty());
    field<QLineEdit>("edtTrafficFilter")->setText("nowhere");
    EXPECT_TRUE(field<QPlainTextEdit>("mmTrafficText")->toPlainText().isEmpty());
}
