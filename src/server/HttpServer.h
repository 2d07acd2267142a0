#pragma once

#include "server/ServerMessages.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Bounds that keep a LAN server alive against large, slow or many clients.
struct HttpServerLimits
{
    // Larger bodies are refused with 413.
    std::int64_t maxBodyBytes = std::int64_t(64) << 20;
    // Larger header blocks are refused with 431.
    std::uint32_t maxHeaderBytes = 16 * 1024;
    // A client that sends or takes nothing for this long is dropped.
    std::chrono::milliseconds readTimeout{30000};
    // Connections beyond this are closed at once instead of getting a thread.
    int maxConnections = 256;
    // PUT reaches the handler too (a server that plays the terminal needs it).
    bool acceptsPut = false;
};

// An HTTP/1.1 server with one IPv4 binding and a thread per connection; every
// connection carries one request and is closed after its reply. Only GET, POST
// and HEAD (and PUT where the limits allow it) reach the handler; other methods
// are closed without reply.
class HttpServer
{
public:
    // Called on the connection's thread; no reply closes the connection without
    // one.
    using Handler = std::function<std::optional<ServerReply>(const ServerRequest&)>;

    explicit HttpServer(Handler handler, HttpServerLimits limits = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on address and port; an empty address means every local address.
    // Throws Failure when the address is not a local IPv4 address or the port is
    // taken.
    void start(const QString& address, std::uint16_t port);
    // Stops listening and closes every open connection, then waits until every
    // connection thread is done with the server. A handler still running is
    // waited for, so whatever it waits on must be released first.
    void stop();
    bool isRunning() const { return listener != nullptr; }

private:
    struct Listener;

    Handler handler;
    HttpServerLimits limits;
    std::unique_ptr<Listener> listener;
};
