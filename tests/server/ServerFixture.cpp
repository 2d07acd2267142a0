#include "server/ServerFixture.h"

#include "server/WindowStepHandler.h"
#include "support/LoopbackClient.h"

ServerFixture::ServerFixture(const char* address, HttpServerLimits limits)
    : address(address), bridge(new WindowBridge(&windowThreadObject)),
      server(windowStepHandler(*bridge, window), limits)
{
    bridge->open();
    server.setTrafficLog(&traffic);
    server.start(QString::fromLatin1(address), kPort);
}

ServerFixture::~ServerFixture()
{
    bridge->close();
    server.stop();
}

QByteArray ServerFixture::exchange(const QByteArray& request, bool halfClose)
{
    return whileServing([&] { return ::exchange(address, kPort, request, halfClose); });
}

QByteArray getRequest(const QByteArray& target)
{
    return "GET " + target + " HTTP/1.1\r\nHost: terminal\r\n\r\n";
}

QByteArray postRequest(const QByteArray& target, const QByteArray& contentType, const QByteArray& body)
{
    return "POST " + target + " HTTP/1.1\r\nHost: terminal\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}
