#pragma once

#include "server/ServerMessages.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class TrafficLog;

// How many connections the process's file limit leaves room for, keeping a
// margin for everything else the tool opens.
int connectionsTheFileLimitAllows();

// Bounds that keep a LAN server alive against large, slow or many clients.
struct HttpServerLimits
{
    // Larger bodies are refused with 413.
    std::int64_t maxBodyBytes = std::int64_t(64) << 20;
    // Larger header blocks are refused with 431.
    std::uint32_t maxHeaderBytes = 16 * 1024;
    // A client that sends or takes nothing for this long is dropped.
    std::chrono::milliseconds readTimeout{30000};
    // The whole header must be in this long after the connection opened, however
    // it trickles in.
    std::chrono::milliseconds headerDeadline{10000};
    // A body must come at this rate on average after its first second (the
    // grace), and is allowed at least minBodyTime in all.
    std::int64_t minBodyBytesPerSecond = 4096;
    std::chrono::milliseconds bodyGrace{1000};
    std::chrono::milliseconds minBodyTime{30000};
    // At the limit the connection idle longest is closed for a new one.
    int maxConnections = connectionsTheFileLimitAllows();
    // Bytes that the bodies being received and handled may hold at once, with
    // the copies the handler makes of them.
    std::int64_t memoryBudgetBytes = std::int64_t(256) << 20;
    // A request that finds no room waits this long, then gets 503.
    std::chrono::milliseconds budgetWait{2000};
    // Connections closed by a deadline, at the limit or for the budget are
    // reported at most once a period.
    std::chrono::milliseconds closureReportPeriod{60000};
    // PUT reaches the handler too (a server that plays the terminal needs it).
    bool acceptsPut = false;
};

class HttpServer
{
public:
    // Called on a handler thread; no reply closes the connection without one.
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
    // connection is done with the server. A handler still running is waited
    // for, so whatever it waits on must be released first.
    void stop();
    bool isRunning() const { return listener != nullptr; }
    // Where each request and its reply are recorded from the next start on,
    // raw bytes included; none by default.
    void setTrafficLog(TrafficLog* log) { traffic = log; }
    // Told, from a server thread, at most once per closureReportPeriod, how many
    // connections were closed and why; it must not block. Takes effect from the
    // next start on.
    using ClosureNotice = std::function<void(const QString& line)>;
    void setClosureNotice(ClosureNotice notice) { closureNotice = std::move(notice); }

private:
    struct Listener;

    Handler handler;
    HttpServerLimits limits;
    TrafficLog* traffic = nullptr;
    ClosureNotice closureNotice;
    std::unique_ptr<Listener> listener;
};
