#include "SinkTerminal.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <strings.h>
#include <vector>

namespace {

const std::string kBody = R"({"success":true,"msg":"ok","data":"K"})";
const std::string kReply =
    "HTTP/1.1 200 OK\r\nContent-Type: application/json;charset=UTF-8\r\nContent-Length: " +
    std::to_string(kBody.size()) + "\r\nConnection: close\r\n\r\n" + kBody;

std::uint64_t contentLength(const std::string& head)
{
    std::size_t at = 0;
    while ((at = head.find("\r\n", at)) != std::string::npos) {
        at += 2;
        if (strncasecmp(head.c_str() + at, "Content-Length:", 15) == 0)
            return std::strtoull(head.c_str() + at + 15, nullptr, 10);
    }
    return 0;
}

} // namespace

SinkTerminal::SinkTerminal(const std::string& address, std::uint16_t port)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    ::inet_pton(AF_INET, address.c_str(), &at.sin_addr);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(listener_, 16) != 0) {
        std::perror("sink terminal");
        std::exit(1);
    }
    thread_ = std::thread([this] { serve(); });
}

SinkTerminal::~SinkTerminal()
{
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

void SinkTerminal::serve()
{
    pollfd entry{listener_, POLLIN, 0};
    while (!stopping_) {
        if (::poll(&entry, 1, 20) <= 0)
            continue;
        const int socket = ::accept(listener_, nullptr, nullptr);
        if (socket < 0)
            continue;
        answer(socket);
        ::close(socket);
    }
}

void SinkTerminal::answer(int socket)
{
    std::vector<char> chunk(256 * 1024);
    std::string head;
    std::size_t headEnd;
    while ((headEnd = head.find("\r\n\r\n")) == std::string::npos) {
        const ssize_t n = ::recv(socket, chunk.data(), chunk.size(), 0);
        if (n <= 0)
            return;
        head.append(chunk.data(), n);
    }
    const std::uint64_t length = contentLength(head.substr(0, headEnd + 2));
    std::uint64_t received = head.size() - (headEnd + 4);
    while (received < length) {
        const ssize_t n = ::recv(socket, chunk.data(), chunk.size(), 0);
        if (n <= 0)
            return;
        received += n;
    }
    lastBodyBytes_ = received;
    ::send(socket, kReply.data(), kReply.size(), MSG_NOSIGNAL);
    ::shutdown(socket, SHUT_WR);
    while (::recv(socket, chunk.data(), chunk.size(), 0) > 0) {
    }
}
