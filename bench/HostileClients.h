#pragma once

#include <atomic>
#include <thread>

// Connections that a hostile or broken peer keeps open against a server:
// `idle` ones that send nothing and `slow` ones that trickle a request header a
// byte every quarter second. Each one the server closes is opened again, so
// that the counts hold for as long as the object lives.
class HostileClients
{
public:
    HostileClients(const char* address, int port, int idle, int slow);
    ~HostileClients();
    HostileClients(const HostileClients&) = delete;
    HostileClients& operator=(const HostileClients&) = delete;

    // Connections the server closed and that were opened again.
    int reopened() const { return reopened_; }

private:
    void run(const char* address, int port, int idle, int slow);

    std::atomic<bool> done{false};
    std::atomic<bool> ready{false};
    std::atomic<int> reopened_{0};
    std::thread thread;
};
