#pragma once

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <string>

// The least an HTTP server with a thread per connection can do: parse the
// request with Beast and write fixed bytes chosen by the path. The yardstick
// that the window's server is compared with.
class BareServer
{
public:
    // attendanceReply for "/attendance", otherReply for any other path.
    BareServer(const std::string& address, std::uint16_t port, QByteArray attendanceReply,
               QByteArray otherReply);
    ~BareServer();

private:
    struct State;
    std::unique_ptr<State> state;
};
