#pragma once

#include "common/TrafficLog.h"
#include "server/FakeServerWindow.h"
#include "server/HttpServer.h"
#include "server/WindowBridge.h"

#include <QObject>

// A running server on one loopback address whose requests are answered by the
// real dispatcher in window steps on the test's thread, against a fake window.
class ServerFixture
{
public:
    static constexpr int kPort = 8090;

    explicit ServerFixture(const char* address, HttpServerLimits limits = {});
    ~ServerFixture();

    // Sends the request and keeps the window thread serving until the answer is in.
    QByteArray exchange(const QByteArray& request, bool halfClose = false);

    const char* const address;
    FakeServerWindow window;
    QObject windowThreadObject;
    WindowBridge* bridge;
    // What the server records of each connection.
    TrafficLog traffic;
    HttpServer server;
};

QByteArray getRequest(const QByteArray& target);
QByteArray postRequest(const QByteArray& target, const QByteArray& contentType, const QByteArray& body);
