#include "support/FakeTerminal.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kPollMs = 20;

// Waits for data on the socket; false when the terminal stops meanwhile.
bool readable(int socket, const std::atomic<bool>& stopping)
{
    pollfd entry{socket, POLLIN, 0};
    while (!stopping) {
        const int ready = ::poll(&entry, 1, kPollMs);
        if (ready > 0)
            return true;
    }
    return false;
}

void sendAll(int socket, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(socket, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += n;
    }
}

} // namespace

QByteArray RecordedRequest::header(const QByteArray& name) const
{
    for (const QByteArray& line : headerLines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

bool RecordedRequest::hasHeader(const QByteArray& name) const
{
    for (const QByteArray& line : headerLines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

TerminalReply TerminalReply::json(const QString& text)
{
    TerminalReply reply;
    reply.body = text.toUtf8();
    return reply;
}

TerminalReply TerminalReply::status(int code, const QByteArray& reason, const QByteArray& body)
{
    TerminalReply reply;
    reply.statusLine = "HTTP/1.1 " + QByteArray::number(code) + ' ' + reason;
    reply.body = body;
    return reply;
}

TerminalReply TerminalReply::raw(const QByteArray& bytes)
{
    TerminalReply reply;
    reply.action = Action::Raw;
    reply.body = bytes;
    return reply;
}

TerminalReply TerminalReply::silence()
{
    TerminalReply reply;
    reply.action = Action::Silence;
    return reply;
}

TerminalReply TerminalReply::hangUp()
{
    TerminalReply reply;
    reply.action = Action::HangUp;
    return reply;
}

TerminalReply& TerminalReply::header(const QByteArray& name, const QByteArray& value)
{
    headerLines << name + ": " + value;
    return *this;
}

TerminalReply& TerminalReply::after(std::chrono::milliseconds wait)
{
    delay = wait;
    return *this;
}

TerminalReply& TerminalReply::keepAlive()
{
    keepConnection = true;
    return *this;
}

TerminalReply& TerminalReply::beforeAnswer(std::function<void()> step)
{
    firstStep = std::move(step);
    return *this;
}

FakeTerminal::FakeTerminal(int lastOctet, quint16 port, const QByteArray& network)
    : address_(network + QByteArray::number(lastOctet)), port_(port),
      defaultReply_(TerminalReply::json(QStringLiteral(R"({"success":true,"data":"ABC123"})")))
{
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port_);
    ::inet_pton(AF_INET, address_.constData(), &at.sin_addr);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(listener_, 16) != 0) {
        ::close(listener_);
        throw std::runtime_error("fake terminal cannot listen on " + address_.toStdString());
    }
    acceptor_ = std::thread([this] { acceptLoop(); });
}

FakeTerminal::~FakeTerminal()
{
    stopping_ = true;
    acceptor_.join();
    ::close(listener_);
    for (std::thread& worker : workers_)
        worker.join();
}

FakeTerminal& FakeTerminal::then(TerminalReply reply)
{
    std::lock_guard lock(mutex_);
    script_.push_back(std::move(reply));
    return *this;
}

void FakeTerminal::setDefaultReply(TerminalReply reply)
{
    std::lock_guard lock(mutex_);
    defaultReply_ = std::move(reply);
}

std::vector<RecordedRequest> FakeTerminal::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

RecordedRequest FakeTerminal::lastRequest() const
{
    std::lock_guard lock(mutex_);
    return requests_.empty() ? RecordedRequest{} : requests_.back();
}

int FakeTerminal::requestCount() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(requests_.size());
}

int FakeTerminal::connectionCount() const
{
    std::lock_guard lock(mutex_);
    return connections_;
}

bool FakeTerminal::waitForRequests(int count, std::chrono::milliseconds wait) const
{
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, wait, [&] { return static_cast<int>(requests_.size()) >= count; });
}

void FakeTerminal::acceptLoop()
{
    while (readable(listener_, stopping_)) {
        const int socket = ::accept(listener_, nullptr, nullptr);
        if (socket < 0)
            continue;
        std::lock_guard lock(mutex_);
        const int connection = ++connections_;
        workers_.emplace_back([this, socket, connection] { serve(socket, connection); });
    }
}

void FakeTerminal::serve(int socket, int connection)
{
    QByteArray pending;
    RecordedRequest request;
    while (readRequest(socket, pending, request)) {
        request.connection = connection;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        arrived_.notify_all();

        TerminalReply reply = nextReply();
        if (reply.firstStep)
            reply.firstStep();
        if (!pause(reply.delay) || reply.action == TerminalReply::Action::HangUp)
            break;
        if (reply.action == TerminalReply::Action::Silence) {
            // Hold the connection until the client gives up or the terminal stops.
            char sink[512];
            while (readable(socket, stopping_) && ::recv(socket, sink, sizeof sink, 0) > 0) {
            }
            break;
        }
        if (reply.action == TerminalReply::Action::Raw) {
            sendAll(socket, reply.body);
            break;
        }
        QByteArray bytes = reply.statusLine + "\r\n";
        if (!reply.contentType.isEmpty())
            bytes += "Content-Type: " + reply.contentType + "\r\n";
        for (const QByteArray& line : reply.headerLines)
            bytes += line + "\r\n";
        bytes += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        bytes += reply.keepConnection ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
        bytes += "\r\n" + reply.body;
        sendAll(socket, bytes);
        if (!reply.keepConnection)
            break;
        request = {};
    }
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
}

bool FakeTerminal::readRequest(int socket, QByteArray& pending, RecordedRequest& request)
{
    auto receive = [&] {
        char chunk[4096];
        if (!readable(socket, stopping_))
            return false;
        const ssize_t n = ::recv(socket, chunk, sizeof chunk, 0);
        if (n <= 0)
            return false;
        pending.append(chunk, n);
        return true;
    };

    qsizetype headerEnd;
    while ((headerEnd = pending.indexOf("\r\n\r\n")) < 0)
        if (!receive())
            return false;
    const QList<QByteArray> lines = pending.left(headerEnd).split('\n');
    request.requestLine = lines.value(0).chopped(lines.value(0).endsWith('\r') ? 1 : 0);
    const qsizetype firstBlank = request.requestLine.indexOf(' ');
    const qsizetype lastBlank = request.requestLine.lastIndexOf(' ');
    request.method = request.requestLine.left(firstBlank);
    request.target = request.requestLine.mid(firstBlank + 1, lastBlank - firstBlank - 1);
    request.version = request.requestLine.mid(lastBlank + 1);
    for (qsizetype i = 1; i < lines.size(); ++i)
        request.headerLines << lines[i].chopped(lines[i].endsWith('\r') ? 1 : 0);

    const qsizetype bodyLength = request.header("Content-Length").toLongLong();
    const qsizetype total = headerEnd + 4 + bodyLength;
    while (pending.size() < total)
        if (!receive())
            return false;
    request.raw = pending.left(total);
    request.body = pending.mid(headerEnd + 4, bodyLength);
    pending.remove(0, total);
    return true;
}

TerminalReply FakeTerminal::nextReply()
{
    std::lock_guard lock(mutex_);
    if (script_.empty())
        return defaultReply_;
    TerminalReply reply = std::move(script_.front());
    script_.pop_front();
    return reply;
}

bool FakeTerminal::pause(std::chrono::milliseconds wait) const
{
    const auto until = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < until) {
        if (stopping_)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long long>(kPollMs, wait.count())));
    }
    return !stopping_;
}
