#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class HttpServer;
class QWidget;
class ServerWindow;
class TrafficLog;
class WindowBridge;

// The embedded callback server: each request is answered in one step on the
// window's thread, through the routes' view of the window.
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

private:
    WindowBridge* bridge;
    std::unique_ptr<ServerWindow> routesWindow;
    std::unique_ptr<HttpServer> server;
};
