#include "common/Failure.h"
#include "device/CommandEnvelope.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

const std::string kReply = "HTTP/1.1 200 OK\r\nContent-Length: 16\r\nConnection: close\r\n\r\n"
                           R"({"success":true})";

// A terminal with a small receive window that answers as soon as the head has
// arrived and then takes in the body in bursts, or not at all.
class SlowReader
{
public:
    SlowReader(const char* address, bool readsBody) : readsBody_(readsBody)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        const int window = 32 * 1024;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(8090);
        ::inet_pton(AF_INET, address, &at.sin_addr);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
            ::listen(listener_, 1) != 0)
            throw std::runtime_error("slow reader cannot listen");
        thread_ = std::thread([this] { serve(); });
    }

    ~SlowReader()
    {
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }

    // Body bytes taken in, once the client has closed the connection.
    std::size_t bodyBytes()
    {
        thread_.join();
        thread_ = std::thread([] {});
        return bodyBytes_;
    }

private:
    void serve()
    {
        const int socket = ::accept(listener_, nullptr, nullptr);
        if (socket < 0)
            return;
        std::string received;
        char chunk[32 * 1024];
        std::size_t headEnd;
        while ((headEnd = received.find("\r\n\r\n")) == std::string::npos) {
            const ssize_t n = ::recv(socket, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            received.append(chunk, n);
        }
        ::send(socket, kReply.data(), kReply.size(), MSG_NOSIGNAL);
        std::size_t body = received.size() - (headEnd + 4);
        // Bursts of 2 MB with pauses well below the client's time-out between them.
        for (std::size_t burst = 0; readsBody_;) {
            const ssize_t n = ::recv(socket, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            body += n;
            burst += n;
            if (burst >= 2 * 1024 * 1024) {
                burst = 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
            }
        }
        while (!readsBody_ && !stopping_)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        bodyBytes_ = body;
        ::close(socket);
    }

    bool readsBody_;
    std::atomic<bool> stopping_{false};
    int listener_ = -1;
    std::atomic<std::size_t> bodyBytes_{0};
    std::thread thread_;
};

// Three times what the kernel's send and receive buffers together hold, so
// most of it waits for the reader's bursts.
const QByteArray kBody(12 * 1024 * 1024, 'A');

} // namespace

TEST(RequestWrite, BodyThatKeepsMovingIsSentWholeHoweverLongItTakes)
{
    SlowReader terminal("127.0.12.40", true);
    HttpClient client(kFormContentType);
    client.setTimeoutMs(400);
    QElapsedTimer sending;
    sending.start();
    EXPECT_EQ(PostEncodedForm(client, "http://127.0.12.40:8090/bootOnline", kBody), R"({"success":true})");
    EXPECT_GT(sending.elapsed(), 400);
    EXPECT_EQ(terminal.bodyBytes(), std::size_t(kBody.size()));
}

TEST(RequestWrite, BodyThatStallsEndsAfterTheTimeOut)
{
    SlowReader terminal("127.0.12.41", false);
    HttpClient client(kFormContentType);
    client.setTimeoutMs(400);
    QElapsedTimer sending;
    sending.start();
    EXPECT_THROW(PostEncodedForm(client, "http://127.0.12.41:8090/bootOnline", kBody), Failure);
    EXPECT_GE(sending.elapsed(), 390);
    EXPECT_LT(sending.elapsed(), 5000);
}
