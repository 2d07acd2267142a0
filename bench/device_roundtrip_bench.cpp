// Round trips of "读序列号" against a loopback terminal, next to the same
// request bytes over a bare socket, to show what the command envelope costs.
#include "common/TrafficLog.h"
#include "device/ConnectionCommands.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kAddress = "127.0.9.1";
constexpr int kPort = 8090;
constexpr int kRounds = 2000;
constexpr int kWarmUp = 100;

const std::string kRequest = "POST /getDeviceKey HTTP/1.0\r\n"
                             "Connection: keep-alive\r\n"
                             "Content-Type: application/x-www-form-urlencoded\r\n"
                             "Content-Length: 0\r\n"
                             "Host: 127.0.9.1:8090\r\n"
                             "Accept: text/html, */*\r\n"
                             "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                             "\r\n";
const std::string kReplyBody = R"({"success":true,"data":"ABC123"})";
const std::string kReply = "HTTP/1.1 200 OK\r\n"
                           "Content-Type: application/json;charset=UTF-8\r\n"
                           "Content-Length: " +
                           std::to_string(kReplyBody.size()) +
                           "\r\n"
                           "Connection: close\r\n"
                           "\r\n" +
                           kReplyBody;

sockaddr_in terminalAddress()
{
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(kPort);
    ::inet_pton(AF_INET, kAddress, &at.sin_addr);
    return at;
}

// Answers every request with the same reply and closes, one connection at a time.
class Terminal
{
public:
    Terminal()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in at = terminalAddress();
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
            ::listen(listener_, 64) != 0) {
            std::perror("terminal");
            std::exit(1);
        }
        thread_ = std::thread([this] { serve(); });
    }

    ~Terminal()
    {
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }

private:
    void serve()
    {
        while (!stopping_) {
            const int socket = ::accept(listener_, nullptr, nullptr);
            if (socket < 0)
                continue;
            std::string received;
            char chunk[4096];
            while (received.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(socket, chunk, sizeof chunk, 0);
                if (n <= 0)
                    break;
                received.append(chunk, n);
            }
            ::send(socket, kReply.data(), kReply.size(), MSG_NOSIGNAL);
            ::shutdown(socket, SHUT_WR);
            while (::recv(socket, chunk, sizeof chunk, 0) > 0) {
            }
            ::close(socket);
        }
    }

    int listener_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

void bareRoundTrip()
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at = terminalAddress();
    if (::connect(socket, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
        std::perror("connect");
        std::exit(1);
    }
    ::send(socket, kRequest.data(), kRequest.size(), MSG_NOSIGNAL);
    char chunk[4096];
    std::size_t total = 0;
    for (ssize_t n; (n = ::recv(socket, chunk, sizeof chunk, 0)) > 0;)
        total += n;
    ::close(socket);
    if (total != kReply.size()) {
        std::fprintf(stderr, "short reply\n");
        std::exit(1);
    }
}

template <typename RoundTrip> double medianMicroseconds(RoundTrip roundTrip)
{
    for (int i = 0; i < kWarmUp; ++i)
        roundTrip();
    std::vector<double> samples;
    samples.reserve(kRounds);
    for (int i = 0; i < kRounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        roundTrip();
        samples.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main()
{
    Terminal terminal;
    HttpClient client("application/x-www-form-urlencoded");
    client.setTimeoutMs(kCommandTimeoutMs);
    const DeviceConnection connection{QString::fromLatin1(kAddress), kPort};

    const auto readSerialNumber = [&] {
        const SerialNumberResult result = ReadSerialNumber(connection, client);
        if (result.serialNo != QStringLiteral("ABC123")) {
            std::fprintf(stderr, "unexpected outcome\n");
            std::exit(1);
        }
    };
    const double command = medianMicroseconds(readSerialNumber);
    // The same command with every exchange recorded, as the window does.
    TrafficLog traffic;
    client.setTrafficLog(&traffic);
    const double recorded = medianMicroseconds(readSerialNumber);
    client.setTrafficLog(nullptr);
    const double bare = medianMicroseconds(bareRoundTrip);

    std::printf("%d round trips each (after %d warm-up)\n", kRounds, kWarmUp);
    std::printf("serial number command:  median %.1f us\n", command);
    std::printf("  with traffic log:     median %.1f us (%d records kept)\n", recorded, traffic.size());
    std::printf("bare socket:            median %.1f us\n", bare);
    std::printf("ratio command / bare:   %.2f\n", command / bare);
    std::printf("ratio recorded / plain: %.2f\n", recorded / command);
    return 0;
}
