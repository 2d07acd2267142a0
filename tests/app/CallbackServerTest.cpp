#include "server/WindowBridge.h"
#include "app/LogView.h"
#include "support/LoopbackClient.h"
#include "support/WindowTest.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QUrl>
#include <arpa/inet.h>
#include <future>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPort = 8090;

// Stands in for the desktop's viewer: notes what the photo file held whenever
// it was opened.
class PhotoViewer : public QObject
{
    Q_OBJECT

public:
    PhotoViewer() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~PhotoViewer() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QByteArray> seen;

public slots:
    void open(const QUrl& url)
    {
        QFile file(url.toLocalFile());
        seen += file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
};

// A real window whose callback server is started through btn8 on one loopback
// address.
class CallbackServer : public WindowTest
{
protected:
    CallbackServer() { show(); }

    QPushButton* btn8() { return field<QPushButton>("btn8"); }
    QStringList lines(const char* pane) { return field<LogView>(pane)->toPlainText().split('\n'); }

    void start(const char* address, const char* port = "8090")
    {
        field<QLineEdit>("edtIP1")->setText(QString::fromLatin1(address));
        field<QLineEdit>("edtPort")->setText(QString::fromLatin1(port));
        btn8()->click();
    }

    QByteArray exchange(const char* address, const QByteArray& request)
    {
        return whileServing([&] { return ::exchange(address, kPort, request); });
    }

    // Requests whose window steps wait, since this thread serves nothing meanwhile.
    std::vector<std::future<QByteArray>> waitingRequests(const char* address, int count)
    {
        std::vector<std::future<QByteArray>> replies;
        for (int i = 0; i < count; ++i) {
            replies.push_back(std::async(std::launch::async, [address] {
                return ::exchange(address, kPort, "GET /heartBeat HTTP/1.1\r\nHost: t\r\n\r\n");
            }));
        }
        auto* bridge = window.findChild<WindowBridge*>("callbackBridge");
        while (bridge->waitingSteps() < count)
            QThread::msleep(1);
        return replies;
    }
};

QByteArray post(const QByteArray& target, const QByteArray& contentType, const QByteArray& body)
{
    return "POST " + target + " HTTP/1.1\r\nHost: t\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray filePart(const QByteArray& content)
{
    return "--b\r\nContent-Disposition: form-data; name=\"f\"; filename=\"f.jpg\"\r\nContent-Type: "
           "image/jpeg\r\n\r\n" +
           content + "\r\n";
}

// A listening socket that holds a binding.
class PortHolder
{
public:
    PortHolder(const char* address, int port) : fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(static_cast<uint16_t>(port));
        ::inet_pton(AF_INET, address, &at.sin_addr);
        // Connections closed by an earlier run may linger on the port.
        const int reuse = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        bound = ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 && ::listen(fd, 1) == 0;
    }
    ~PortHolder() { ::close(fd); }
    const int fd;
    bool bound = false;
};

} // namespace

TEST_F(CallbackServer, Btn8StartsAndStopsTheServer)
{
    start("127.0.3.40");
    EXPECT_EQ(btn8()->text(), u("停止识别回调"));
    EXPECT_TRUE(exchange("127.0.3.40", "GET /attendance HTTP/1.1\r\n\r\n")
                    .endsWith(R"({"result":1,"success":true})"));

    btn8()->click();
    EXPECT_EQ(btn8()->text(), u("启动识别回调"));
    EXPECT_EQ(exchange("127.0.3.40", "GET /attendance HTTP/1.1\r\n\r\n"), "");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(CallbackServer, FailedStartIsLoggedAndASecondClickTriesAgain)
{
    start("127.0.3.41", "80a");
    EXPECT_EQ(lines("mmoLog").last(), u("HttpServer启动失败"));
    EXPECT_EQ(btn8()->text(), u("启动识别回调"));

    {
        PortHolder holder("127.0.3.41", kPort);
        ASSERT_TRUE(holder.bound);
        start("127.0.3.41");
        EXPECT_EQ(lines("mmoLog"), (QStringList{u("HttpServer启动失败"), u("HttpServer启动失败")}));
        EXPECT_EQ(btn8()->text(), u("启动识别回调"));
    }
    for (const char* address : {"10.254.254.254", "not an address"}) {
        start(address);
        EXPECT_EQ(lines("mmoLog").last(), u("HttpServer启动失败")) << address;
        EXPECT_EQ(btn8()->text(), u("启动识别回调"));
    }

    start("127.0.3.41");
    EXPECT_EQ(btn8()->text(), u("停止识别回调"));
    EXPECT_TRUE(exchange("127.0.3.41", "GET /attendance HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 200 OK"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(CallbackServer, RequestsAreLoggedToTheWindowAndHeartbeatsReadItsRadioButtons)
{
    start("127.0.3.42");
    const char* address = "127.0.3.42";
    EXPECT_TRUE(
        exchange(address, "GET /api/heartBeat?sn=7 HTTP/1.1\r\n\r\n").endsWith("Connection: close\r\n\r\n"));
    field<QRadioButton>("rbHaveTask")->click();
    EXPECT_TRUE(exchange(address, "GET /heartBeat HTTP/1.1\r\n\r\n").endsWith(R"({"result": true})"));
    field<QRadioButton>("rbHaveNoTask")->click();
    EXPECT_TRUE(exchange(address, "GET /heartBeat HTTP/1.1\r\n\r\n").endsWith(R"({"result": false})"));
    exchange(address, post("/attendance", "application/x-www-form-urlencoded", "a=1&b=2"));
    exchange(address, "GET /x/getTask HTTP/1.1\r\n\r\n");

    EXPECT_EQ(lines("mmoLog"), (QStringList{"/api/heartBeat", "sn=7", "", "/heartBeat", "", "/heartBeat", "",
                                            "/attendance", "a=1", "b=2", "", "/x/getTask", ""}));
    // With no task answer chosen the task reply is empty, and so is its line.
    EXPECT_EQ(field<LogView>("mmMsg")->toPlainText(), "");
}

TEST_F(CallbackServer, UploadedPhotoReplacesRecvJpgAndIsOpenedWhole)
{
    PhotoViewer viewer;
    start("127.0.3.43");
    const QByteArray first("\xFF\xD8one\r\n\0\x01\xFF\xD9", 12);
    const QByteArray second = QByteArray("\xFF\xD8two", 5) + QByteArray(200000, '\x7F');
    const QByteArray reply =
        exchange("127.0.3.43", post("/uploadFaceImage", "multipart/form-data; boundary=b",
                                    filePart(first) + filePart(second) + "--b--\r\n"));

    EXPECT_TRUE(reply.endsWith(u(R"({"result":1,"success":true,"msg":"接收成功"})").toUtf8()));
    QFile saved(QDir(folder.path()).filePath("recv.jpg"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), second);
    EXPECT_EQ(viewer.seen, (QList<QByteArray>{first, second}));
    EXPECT_EQ(lines("mmMsg"), QStringList{u(R"({"result":1,"success":true,"msg":"接收成功"})")});
    // Only the photo is in the folder: nothing half-written is left beside it.
    EXPECT_EQ(QDir(folder.path()).entryList({"recv*"}, QDir::Files), QStringList{"recv.jpg"});
}

TEST_F(CallbackServer, UnwritablePhotoFileAnswers500AndTheServerGoesOn)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("recv.jpg"));
    start("127.0.3.44");
    const QByteArray reply =
        exchange("127.0.3.44",
                 post("/uploadFaceImage", "multipart/form-data; boundary=b", filePart("JPEG") + "--b--\r\n"));
    EXPECT_TRUE(reply.startsWith("HTTP/1.1 500 Internal Server Error\r\nContent-Type: text/html\r\n"));
    EXPECT_TRUE(reply.contains(u("无法写入").toUtf8()));
    EXPECT_EQ(field<LogView>("mmMsg")->toPlainText(), "");
    EXPECT_TRUE(exchange("127.0.3.44", "GET /attendance HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 200 OK"));
}

TEST_F(CallbackServer, StopWhileRequestsWaitForTheWindow)
{
    start("127.0.3.45");
    auto replies = waitingRequests("127.0.3.45", 20);
    btn8()->click();
    EXPECT_EQ(btn8()->text(), u("启动识别回调"));
    for (auto& reply : replies)
        EXPECT_EQ(reply.get(), "");
    QCoreApplication::processEvents();
    EXPECT_EQ(field<LogView>("mmoLog")->toPlainText(), "");

    // Closing the window with requests waiting stops the server on the way.
    start("127.0.3.45");
    replies = waitingRequests("127.0.3.45", 20);
    window.close();
    EXPECT_EQ(btn8()->text(), u("启动识别回调"));
    for (auto& reply : replies)
        EXPECT_EQ(reply.get(), "");
    destroyWindow();
    QCoreApplication::processEvents();
}

TEST_F(CallbackServer, DestroyingTheWindowWhileRequestsWait)
{
    start("127.0.3.46");
    auto replies = waitingRequests("127.0.3.46", 20);
    destroyWindow();
    for (auto& reply : replies)
        EXPECT_EQ(reply.get(), "");
    QCoreApplication::processEvents();
}

#include "CallbackServerTest.moc"
