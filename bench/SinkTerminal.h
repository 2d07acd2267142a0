#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// A terminal that takes in any request body without keeping it, then answers
// {"success":true,"msg":"ok","data":"K"} and closes; one connection at a time.
// It holds no copy of what it receives, so the client's memory is all that a
// process running both shows.
class SinkTerminal
{
public:
    SinkTerminal(const std::string& address, std::uint16_t port);
    ~SinkTerminal();
    SinkTerminal(const SinkTerminal&) = delete;
    SinkTerminal& operator=(const SinkTerminal&) = delete;

    // Body bytes of the last request, once its reply has gone out.
    std::uint64_t lastBodyBytes() const { return lastBodyBytes_; }

private:
    void serve();
    void answer(int socket);

    int listener_ = -1;
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> lastBodyBytes_{0};
    std::thread thread_;
};
