#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// One request as the fake terminal received it.
struct RecordedRequest
{
    QByteArray raw;         // every byte: request line, headers, blank line, body
    QByteArray requestLine; // without its CR LF
    QByteArray method;
    QByteArray target;
    QByteArray version;
    QList<QByteArray> headerLines; // "Name: value", in the order sent
    QByteArray body;
    int connection = 0; // 1 for the first connection accepted, 2 for the next, ...

    // The value of the first header of that name (any case); empty when absent.
    QByteArray header(const QByteArray& name) const;
    bool hasHeader(const QByteArray& name) const;
};

// What the fake terminal does with one request.
struct TerminalReply
{
    enum class Action
    {
        Answer,
        Silence, // never answers and keeps the connection open
        HangUp,  // closes the connection without a byte
        Raw      // sends body as the whole reply, byte for byte, then closes
    };

    // 200 with a JSON body; text is sent as UTF-8.
    static TerminalReply json(const QString& text);
    // Any status with a body of exact bytes.
    static TerminalReply status(int code, const QByteArray& reason, const QByteArray& body = {});
    // Exactly these bytes and a close, for replies no well-behaved server sends.
    static TerminalReply raw(const QByteArray& bytes);
    static TerminalReply silence();
    static TerminalReply hangUp();

    TerminalReply& header(const QByteArray& name, const QByteArray& value);
    TerminalReply& after(std::chrono::milliseconds wait);
    // Answers with "Connection: keep-alive" and keeps the connection open for
    // the next request; otherwise the reply says "Connection: close" and the
    // connection is closed after it.
    TerminalReply& keepAlive();
    // Runs on the terminal's thread once the request is recorded, before the
    // delay and the answer.
    TerminalReply& beforeAnswer(std::function<void()> step);

    Action action = Action::Answer;
    QByteArray statusLine = "HTTP/1.1 200 OK";
    QList<QByteArray> headerLines; // added after Content-Type, before Content-Length
    QByteArray contentType = "application/json;charset=UTF-8";
    QByteArray body;
    std::chrono::milliseconds delay{0};
    bool keepConnection = false;
    std::function<void()> firstStep;
};

// A scripted terminal on a loopback address of the test's own (127.0.2.N,
// port 8090). It records every request and answers each with the next
// scripted reply, or with the default reply when the script has run out
// (at first 200 with {"success":true,"data":"ABC123"}). For example:
//
//     FakeTerminal terminal(60);
//     terminal.then(TerminalReply::json(R"({"success":false,"msg":"x"})"))
//         .then(TerminalReply::status(404, "Not Found"));
//     ... run the command against {terminal.host(), terminal.port()} ...
//     EXPECT_EQ(terminal.lastRequest().body, "pass=1");
class FakeTerminal
{
public:
    explicit FakeTerminal(int lastOctet, quint16 port = 8090, const QByteArray& network = "127.0.2.");
    ~FakeTerminal();
    FakeTerminal(const FakeTerminal&) = delete;
    FakeTerminal& operator=(const FakeTerminal&) = delete;

    QString host() const { return QString::fromLatin1(address_); }
    quint16 port() const { return port_; }

    FakeTerminal& then(TerminalReply reply);
    void setDefaultReply(TerminalReply reply);

    std::vector<RecordedRequest> requests() const;
    RecordedRequest lastRequest() const;
    int requestCount() const;
    int connectionCount() const;
    // Waits until count requests have arrived or the wait ends; returns whether they have.
    bool waitForRequests(int count, std::chrono::milliseconds wait = std::chrono::seconds(10)) const;

private:
    void acceptLoop();
    void serve(int socket, int connection);
    bool readRequest(int socket, QByteArray& pending, RecordedRequest& request);
    TerminalReply nextReply();
    bool pause(std::chrono::milliseconds wait) const;

    QByteArray address_;
    quint16 port_;
    int listener_ = -1;
    std::atomic<bool> stopping_{false};

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::deque<TerminalReply> script_;
    TerminalReply defaultReply_;
    std::vector<RecordedRequest> requests_;
    int connections_ = 0;

    std::vector<std::thread> workers_;
    std::thread acceptor_;
};
