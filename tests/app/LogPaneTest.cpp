#include "app/LongLineCut.h"
#include "app/LogView.h"
#include "server/WindowBridge.h"
#include "support/LoopbackClient.h"
#include "support/WindowTest.h"

#include <QLineEdit>
#include <QPushButton>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

constexpr int kPort = 8090;

QString marker(qsizetype bytes)
{
    return u("……（此行过长，其余 %1 字节未显示）").arg(bytes);
}

class LogPane : public WindowTest
{
protected:
    LogPane() { show(); }

    void start(const char* address)
    {
        field<QLineEdit>("edtIP1")->setText(QString::fromLatin1(address));
        field<QLineEdit>("edtPort")->setText(QString::number(kPort));
        field<QPushButton>("btn8")->click();
    }
    QString text(const char* pane) { return field<LogView>(pane)->toPlainText(); }
};

} // namespace

TEST(LongLineCut, LinesBeyondTheLimitAreCutWithTheBytesLeftOut)
{
    const qsizetype limit = LongLineCut::kMaxLineBytes;
    const QString x(limit, QChar('x'));
    const QString han(limit / 2, QChar(0x4E2D)); // two GBK bytes each
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    const struct
    {
        QString text;
        QString shown;
    } cases[] = {
        {x, x},
        {x + "y", x + marker(1)},
        {han + u("中中"), han + marker(4)},
        {"a\r\n" + x + "yz\nb\r" + x + "\n" + x + "!",
         "a\r\n" + x + marker(2) + "\nb\r" + x + "\n" + x + marker(1)},
        // A pair of surrogates at the limit goes to the part left out whole.
        {x + smile, x + marker(1)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LongLineCut::shorten(c.text), c.shown) << c.text.size();
    EXPECT_EQ(LongLineCut::marker(3080192), u("……（此行过长，其余 3080192 字节未显示）"));
}

TEST_F(LogPane, AHandlersLinesGoInWholeAndInOrderWhenItEnds)
{
    auto* mmLog = field<LogView>("mmLog");
    window.runHandler([mmLog] {
        for (const char* line : {"", "a\nb", ""})
            TfrmMain::appendLine(mmLog, line);
    });
    window.runHandler([mmLog] { TfrmMain::appendLine(mmLog, QString()); });
    EXPECT_EQ(mmLog->toPlainText(), "\na\nb\n\n");
    EXPECT_EQ(mmLog->lineCount(), 5);

    window.runHandler([mmLog] { TfrmMain::appendLine(mmLog, QString(3 << 20, QChar('z'))); });
    EXPECT_EQ(mmLog->line(mmLog->lineCount() - 1), QString(LongLineCut::kMaxLineBytes, QChar('z')) +
                                                         marker((3 << 20) - LongLineCut::kMaxLineBytes));
}

TEST_F(LogPane, AnUploadedLineOf3MiBIsShownCutByTheTimeItsReplyIsRead)
{
    start("127.0.14.1");
    const QByteArray body(3 << 20, 'A');
    const QByteArray reply = whileServing([&] {
        return exchange("127.0.14.1", kPort,
                        "POST /uploadFaceImage HTTP/1.1\r\nContent-Type: text/plain\r\nContent-Length: " +
                            QByteArray::number(body.size()) + "\r\n\r\n" + body);
    });
    ASSERT_TRUE(reply.startsWith("HTTP/1.1 200 OK"));
    EXPECT_EQ(text("mmoLog"), "/uploadFaceImage\n" + QString(LongLineCut::kMaxLineBytes, QChar('A')) +
                                  marker(body.size() - LongLineCut::kMaxLineBytes));
    EXPECT_EQ(text("mmMsg"), u(R"({"result":1,"success":true,"msg":"接收成功"})"));
}

// Each client thread checks, once its reply is in, that its earlier request's
// lines are in the pane; afterwards every request's lines stand together, whole,
// and in each thread's order.
TEST_F(LogPane, LinesOfRequestsFromSeveralThreadsKeepTheirOrderAndAreInBeforeTheReply)
{
    const char* address = "127.0.14.2";
    start(address);
    auto* mmoLog = field<LogView>("mmoLog");
    auto* bridge = window.findChild<WindowBridge*>("callbackBridge");
    constexpr int kThreads = 4;
    constexpr int kRequests = 40;
    std::atomic<int> missing{0};
    whileServing([&] {
        std::vector<std::thread> clients;
        for (int t = 0; t < kThreads; ++t) {
            clients.emplace_back([&, t] {
                for (int i = 0; i < kRequests; ++i) {
                    const QByteArray id = QByteArray::number(t) + "-" + QByteArray::number(i);
                    exchange(address, kPort, "GET /attendance?r=" + id + " HTTP/1.1\r\n\r\n");
                    bool present = false;
                    bridge->run([&] { present = mmoLog->toPlainText().contains("\nr=" + id + "\n"); });
                    missing += present ? 0 : 1;
                }
            });
        }
        for (auto& client : clients)
            client.join();
        return QByteArray();
    });
    EXPECT_EQ(missing, 0);

    const QStringList lines = mmoLog->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), kThreads * kRequests * 3);
    std::vector<int> next(kThreads, 0);
    for (qsizetype at = 0; at < lines.size(); at += 3) {
        EXPECT_EQ(lines[at], "/attendance");
        EXPECT_EQ(lines[at + 2], "");
        const QStringList id = lines[at + 1].mid(2).split('-');
        ASSERT_TRUE(lines[at + 1].startsWith("r=") && id.size() == 2) << lines[at + 1].toStdString();
        const int thread = id[0].toInt();
        ASSERT_TRUE(thread >= 0 && thread < kThreads);
        EXPECT_EQ(id[1].toInt(), next[thread]++);
    }
}
