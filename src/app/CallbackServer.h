#pragma once

#include "server/CallbackActivity.h"

#include <QString>
#include <cstdint>
#include <memory>

class HttpServer;
class QWidget;
class ServerWindow;
class TrafficLog;
class WindowBridge;

// The embedded callback server: each request is answered in one step on the
// window's thread, through the routes' view of the window, and counted for
// the terminal that sent it before that.
class CallbackServer
{
public:
    CallbackServer(QWidget* window, std::unique_ptr<ServerWindow> routesWindow, TrafficLog& traffic);
    ~CallbackServer();

    // Throws Failure when the address or port cannot be listened on.
    void start(const QString& address, std::uint16_t port);
    // Requests still waiting for the window are abandoned first, so that
    // stopping never waits for the window's thread itself.
    void stop();

    // Who has called back so far, counted as the requests arrive.
    const CallbackActivity& activity() const { return activity_; }

private:
    CallbackActivity activity_;
    WindowBridge* bridge;
    std::unique_ptr<ServerWindow> routesWindow;
    std::unique_ptr<HttpServer> server;
};
