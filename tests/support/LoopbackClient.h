#pragma once

#include <QByteArray>
#include <functional>

// A plain TCP client for server tests on loopback addresses: exact bytes out,
// exact bytes back.
class LoopbackClient
{
public:
    // Connects at once; ok() tells whether it worked.
    LoopbackClient(const char* address, int port);
    ~LoopbackClient();
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    bool ok() const { return fd >= 0; }
    // False when the peer is gone.
    bool send(const QByteArray& bytes);
    // Ends the request side; the server sees the close of the body.
    void shutdownWrite();
    // Everything until the server closes (or resets) the connection.
    QByteArray readAll();
    // Exactly count bytes, fewer only when the server closes first.
    QByteArray read(qsizetype count);
    // Whether the server closes the connection within this time; whatever it
    // sends meanwhile is dropped.
    bool closedWithin(int milliseconds);

private:
    int fd = -1;
};

// A TCP socket connected to address and port; -1 when it could not connect.
int connectLoopback(const char* address, int port);

// One request, its whole answer.
QByteArray exchange(const char* address, int port, const QByteArray& request, bool halfClose = false);

// Runs work on another thread while this one keeps processing events, so that
// window steps of the server run meanwhile; returns work's result.
QByteArray whileServing(const std::function<QByteArray()>& work);
