// <utility> first: Asio 1.74 misses it with GCC 12 in C++20 mode.
#include <utility>

#include "server/HttpServer.h"

#include "common/Failure.h"
#include "server/ReplyFraming.h"
#include "server/RequestDecoding.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

class Connection;

// What connection threads share with the server. They hold it themselves, since
// a thread may still be closing its socket after stop() has returned.
struct Shared
{
    HttpServer::Handler handler;
    HttpServerLimits limits;
    std::mutex mutex;
    std::condition_variable allGone;
    std::set<Connection*> connections;
};

// Refused requests keep their socket open a little longer for unread bytes, so
// that the refusal reaches the client rather than being cut off by a reset.
constexpr std::chrono::milliseconds kLingerTime{2000};
constexpr std::size_t kLingerBytes = 4 << 20;
constexpr std::size_t kReadChunk = 64 * 1024;

// One accepted connection, served on its own thread with its own io_context, so
// that each read can have a time-out and stop() can close it from outside.
class Connection
{
public:
    Connection(std::shared_ptr<Shared> shared, std::unique_ptr<asio::io_context> context, tcp::socket socket)
        : shared(std::move(shared)), context(std::move(context)), stream(std::move(socket))
    {
    }

    void serve();
    // Takes the connection off the server's list; it may go on closing its socket.
    void unregister();

    // From any thread, while registered: ends whatever the connection waits for.
    void abort()
    {
        asio::post(*context, [this] { stream.socket().close(ignored); });
    }

private:
    using Parser = http::request_parser<http::string_body>;

    template <typename Start> beast::error_code await(Start&& start);
    beast::error_code readSome(Parser& parser);
    beast::error_code readUntilClose(std::string& body);
    // Reads whatever bytes come next into the buffer, past the HTTP parser.
    beast::error_code readRaw(std::size_t& received);
    beast::error_code write(const QByteArray& bytes);
    void refuse(int status);

    std::shared_ptr<Shared> shared;
    std::unique_ptr<asio::io_context> context;
    beast::tcp_stream stream;
    beast::flat_buffer buffer;
    beast::error_code ignored;
};

// Starts one asynchronous operation and runs this connection's io_context until
// it has completed.
template <typename Start> beast::error_code Connection::await(Start&& start)
{
    beast::error_code result;
    start([&result](beast::error_code ec, std::size_t) { result = ec; });
    context->restart();
    context->run();
    return result;
}

beast::error_code Connection::readSome(Parser& parser)
{
    stream.expires_after(shared->limits.readTimeout);
    return await([&](auto done) { http::async_read_some(stream, buffer, parser, std::move(done)); });
}

beast::error_code Connection::readRaw(std::size_t& received)
{
    received = 0;
    const beast::error_code ec = await([&](auto done) {
        stream.async_read_some(buffer.prepare(kReadChunk), [&received, done = std::move(done)](
                                                               beast::error_code ec, std::size_t n) mutable {
            received = n;
            done(ec, n);
        });
    });
    buffer.commit(received);
    return ec;
}

// A POST without Content-Length carries everything up to the client's close; the
// parser leaves those bytes alone.
beast::error_code Connection::readUntilClose(std::string& body)
{
    const auto limit = static_cast<std::size_t>(shared->limits.maxBodyBytes);
    body = beast::buffers_to_string(buffer.data());
    buffer.consume(buffer.size());
    while (body.size() <= limit) {
        stream.expires_after(shared->limits.readTimeout);
        std::size_t received = 0;
        const beast::error_code ec = readRaw(received);
        body += beast::buffers_to_string(buffer.data());
        buffer.consume(buffer.size());
        if (ec == asio::error::eof)
            return {};
        if (ec)
            return ec;
    }
    return http::error::body_limit;
}

beast::error_code Connection::write(const QByteArray& bytes)
{
    stream.expires_after(shared->limits.readTimeout);
    return await([&](auto done) {
        asio::async_write(stream, asio::buffer(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                          std::move(done));
    });
}

void Connection::refuse(int status)
{
    ServerReply reply;
    reply.status = status;
    if (write(frameReply(reply)))
        return;
    unregister();
    stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
    stream.expires_after(std::min(shared->limits.readTimeout, kLingerTime));
    std::size_t drained = 0;
    while (drained < kLingerBytes) {
        std::size_t received = 0;
        const beast::error_code ec = readRaw(received);
        buffer.consume(buffer.size());
        if (ec)
            return;
        drained += received;
    }
}

void Connection::unregister()
{
    std::lock_guard lock(shared->mutex);
    if (shared->connections.erase(this) > 0 && shared->connections.empty())
        shared->allGone.notify_all();
}

int refusalStatus(const beast::error_code& ec)
{
    if (ec == http::error::body_limit)
        return 413;
    if (ec == http::error::header_limit)
        return 431;
    if (ec.category() == http::make_error_code(http::error::bad_target).category() &&
        ec != http::error::end_of_stream && ec != http::error::partial_message)
        return 400;
    return 0;
}

void Connection::serve()
{
    Parser parser;
    parser.header_limit(shared->limits.maxHeaderBytes);
    parser.body_limit(static_cast<std::uint64_t>(shared->limits.maxBodyBytes));

    beast::error_code ec;
    while (!ec && !parser.is_header_done())
        ec = readSome(parser);

    const http::verb method = parser.get().method();
    const bool putAllowed = method == http::verb::put && shared->limits.acceptsPut;
    if (!ec && method != http::verb::get && method != http::verb::post && method != http::verb::head &&
        !putAllowed)
        return;
    if (!ec && !parser.is_done() && beast::iequals(parser.get()[http::field::expect], "100-continue"))
        ec = write("HTTP/1.1 100 Continue\r\n\r\n");
    while (!ec && !parser.is_done())
        ec = readSome(parser);

    const bool readsToClose =
        !ec && method == http::verb::post && !parser.content_length() && !parser.chunked();
    auto message = parser.release();
    std::string body = std::move(message.body());
    if (readsToClose)
        ec = readUntilClose(body);
    if (ec) {
        if (const int status = refusalStatus(ec))
            refuse(status);
        return;
    }

    const auto lengthHeader = message.find(http::field::content_length);
    const qint64 contentLength =
        lengthHeader == message.end()
            ? -1
            : QByteArray::fromStdString(std::string(lengthHeader->value())).toLongLong();
    const ServerRequest request = RequestDecoding::makeRequest(
        QByteArray::fromStdString(std::string(message.target())),
        QByteArray::fromStdString(std::string(message[http::field::content_type])), contentLength,
        QByteArray::fromStdString(body));
    body.clear();

    const std::optional<ServerReply> reply = shared->handler(request);
    if (!reply)
        return;
    if (write(frameReply(*reply, method == http::verb::head)))
        return;
    unregister();
    stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
}

} // namespace

struct HttpServer::Listener
{
    std::shared_ptr<Shared> shared;
    asio::io_context context;
    tcp::acceptor acceptor{context};
    asio::steady_timer retry{context};
    std::thread thread;

    void acceptNext();
    void admit(std::unique_ptr<asio::io_context> connectionContext, tcp::socket socket);
};

void HttpServer::Listener::acceptNext()
{
    auto connectionContext = std::make_unique<asio::io_context>(1);
    asio::io_context& target = *connectionContext;
    acceptor.async_accept(target, [this, connectionContext = std::move(connectionContext)](
                                      beast::error_code ec, tcp::socket socket) mutable {
        if (ec == asio::error::operation_aborted)
            return;
        if (ec) {
            // Out of descriptors or a similar passing trouble: try again shortly
            // instead of spinning.
            retry.expires_after(std::chrono::milliseconds(50));
            retry.async_wait([this](beast::error_code waited) {
                if (!waited)
                    acceptNext();
            });
            return;
        }
        admit(std::move(connectionContext), std::move(socket));
        acceptNext();
    });
}

void HttpServer::Listener::admit(std::unique_ptr<asio::io_context> connectionContext, tcp::socket socket)
{
    auto connection = std::make_unique<Connection>(shared, std::move(connectionContext), std::move(socket));
    {
        std::lock_guard lock(shared->mutex);
        if (static_cast<int>(shared->connections.size()) >= shared->limits.maxConnections)
            return;
        shared->connections.insert(connection.get());
    }
    // Owned by its thread once that runs; by this function until then.
    Connection* admitted = connection.release();
    try {
        std::thread([admitted] {
            const std::unique_ptr<Connection> owned(admitted);
            owned->serve();
            owned->unregister();
        }).detach();
    } catch (const std::system_error&) {
        admitted->unregister();
        delete admitted;
    }
}

HttpServer::HttpServer(Handler handler, HttpServerLimits limits) : handler(std::move(handler)), limits(limits)
{
}

HttpServer::~HttpServer()
{
    stop();
}

void HttpServer::start(const QString& address, std::uint16_t port)
{
    if (listener)
        throw Failure(QStringLiteral("the server is running already"));
    auto next = std::make_unique<Listener>();
    next->shared = std::make_shared<Shared>();
    next->shared->handler = handler;
    next->shared->limits = limits;

    beast::error_code ec;
    const asio::ip::address_v4 ip = address.isEmpty() ? asio::ip::address_v4::any()
                                                      : asio::ip::make_address_v4(address.toStdString(), ec);
    if (ec)
        throw Failure(QStringLiteral("not an IPv4 address: ") + address);
    const tcp::endpoint endpoint(ip, port);
    next->acceptor.open(endpoint.protocol(), ec);
    if (!ec)
        next->acceptor.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec)
        next->acceptor.bind(endpoint, ec);
    if (!ec)
        next->acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec)
        throw Failure(QString::fromStdString("cannot listen on " + endpoint.address().to_string() + ":" +
                                             std::to_string(port) + ": " + ec.message()));

    next->acceptNext();
    Listener* running = next.get();
    next->thread = std::thread([running] { running->context.run(); });
    listener = std::move(next);
}

void HttpServer::stop()
{
    if (!listener)
        return;
    listener->context.stop();
    listener->thread.join();
    listener->acceptor.close();
    {
        std::unique_lock lock(listener->shared->mutex);
        for (Connection* connection : listener->shared->connections)
            connection->abort();
        listener->shared->allGone.wait(lock, [this] { return listener->shared->connections.empty(); });
    }
    listener.reset();
}
