#include "support/LoopbackClient.h"

#include <QCoreApplication>
#include <QThread>
#include <arpa/inet.h>
#include <cerrno>
#include <future>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

int connectLoopback(const char* address, int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, address, &peer.sin_addr);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

LoopbackClient::LoopbackClient(const char* address, int port) : fd(connectLoopback(address, port)) {}

LoopbackClient::~LoopbackClient()
{
    if (fd >= 0)
        ::close(fd);
}

bool LoopbackClient::send(const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

void LoopbackClient::shutdownWrite()
{
    ::shutdown(fd, SHUT_WR);
}

QByteArray LoopbackClient::readAll()
{
    QByteArray received;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return received;
        received.append(chunk, n);
    }
}

QByteArray LoopbackClient::read(qsizetype count)
{
    QByteArray received(count, '\0');
    qsizetype filled = 0;
    while (filled < count) {
        const ssize_t n = ::recv(fd, received.data() + filled, count - filled, 0);
        if (n <= 0)
            break;
        filled += n;
    }
    received.truncate(filled);
    return received;
}

bool LoopbackClient::closedWithin(int milliseconds)
{
    pollfd watched{fd, POLLIN, 0};
    char chunk[4096];
    while (::poll(&watched, 1, milliseconds) > 0) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            return true;
    }
    return false;
}

QByteArray exchange(const char* address, int port, const QByteArray& request, bool halfClose)
{
    LoopbackClient client(address, port);
    if (!client.ok() || !client.send(request))
        return {};
    if (halfClose)
        client.shutdownWrite();
    return client.readAll();
}

QByteArray whileServing(const std::function<QByteArray()>& work)
{
    std::future<QByteArray> result = std::async(std::launch::async, work);
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return result.get();
}
