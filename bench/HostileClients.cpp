#include "HostileClients.h"
#include "support/LoopbackClient.h"

#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kHeaderStart[] = "GET /attendance HTTP/1.1\r\nX-Slow: ";

int openConnection(const char* address, int port, bool slow)
{
    const int fd = connectLoopback(address, port);
    if (fd >= 0 && slow)
        ::send(fd, kHeaderStart, sizeof kHeaderStart - 1, MSG_NOSIGNAL);
    return fd;
}

} // namespace

HostileClients::HostileClients(const char* address, int port, int idle, int slow)
    : thread([=, this] { run(address, port, idle, slow); })
{
    while (!ready)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

HostileClients::~HostileClients()
{
    done = true;
    thread.join();
}

void HostileClients::run(const char* address, int port, int idle, int slow)
{
    std::vector<pollfd> connections;
    for (int i = 0; i < idle + slow; ++i)
        connections.push_back({openConnection(address, port, i >= idle), POLLIN, 0});
    ready = true;
    while (!done) {
        ::poll(connections.data(), connections.size(), 0);
        for (std::size_t i = 0; i < connections.size(); ++i) {
            pollfd& connection = connections[i];
            const bool isSlow = static_cast<int>(i) >= idle;
            char chunk[4096];
            if (connection.fd < 0 ||
                (connection.revents && ::recv(connection.fd, chunk, sizeof chunk, 0) <= 0)) {
                if (connection.fd >= 0)
                    ::close(connection.fd);
                connection.fd = openConnection(address, port, isSlow);
                ++reopened_;
            } else if (isSlow) {
                ::send(connection.fd, "a", 1, MSG_NOSIGNAL);
            }
            connection.revents = 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    for (const pollfd& connection : connections)
        if (connection.fd >= 0)
            ::close(connection.fd);
}
