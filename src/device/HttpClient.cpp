#include "device/HttpClient.h"

#include "common/ByteArrayBody.h"
#include "common/Failure.h"
#include "common/TextCodec.h"
#include "common/TrafficLog.h"
#include "device/RequestTarget.h"

// GCC 12 in C++20 mode needs <utility> ahead of Asio.
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/buffer_traits.hpp>
#include <boost/beast/core/buffers_suffix.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>

#include "common/RecordingReadStream.h"

#include <array>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <vector>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;
using boost::system::error_code;
using ReplyParser = http::response_parser<ByteArrayBody>;

namespace {

QString socketError(const error_code& ec)
{
    return QStringLiteral("Socket Error: ") + QString::fromStdString(ec.message());
}

// The request line and headers, in the order the terminal's firmware was
// written against; the body follows them on the wire.
QByteArray requestHead(HttpClient::Method method, const RequestTarget& target, const QByteArray& contentType,
                       const QByteArray& cookies, const QByteArray& body)
{
    const bool isPost = method == HttpClient::Method::Post;
    QByteArray request = isPost ? "POST " : method == HttpClient::Method::Put ? "PUT " : "GET ";
    request += target.pathAndQuery + (isPost ? " HTTP/1.0\r\n" : " HTTP/1.1\r\n");
    if (isPost)
        request += "Connection: keep-alive\r\n";
    request += "Content-Type: " + contentType + "\r\n";
    if (method != HttpClient::Method::Get)
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "Host: " + target.host + ':' + QByteArray::number(target.port) + "\r\n";
    request += "Accept: text/html, */*\r\n";
    request += "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n";
    if (!cookies.isEmpty())
        request += "Cookie: " + cookies + "\r\n";
    return request + "\r\n";
}

const char* methodName(HttpClient::Method method)
{
    return method == HttpClient::Method::Post ? "POST" : method == HttpClient::Method::Put ? "PUT" : "GET";
}

QString statusLine(const ReplyParser::value_type& reply)
{
    QByteArray line = "HTTP/" + QByteArray::number(reply.version() / 10) + '.' +
                      QByteArray::number(reply.version() % 10) + ' ' + QByteArray::number(reply.result_int());
    const auto reason = reply.reason();
    if (!reason.empty())
        line += ' ' + QByteArray(reason.data(), reason.size());
    return TextCodec::fromGbk(line);
}

} // namespace

// One exchange for the traffic log, stored when the request has ended, however
// it ended.
class HttpClient::Recording
{
public:
    Recording(TrafficLog* log, const QString& context, HttpClient::Method method, const QString& url)
        : log_(log && log->enabled() ? log : nullptr), started_(std::chrono::steady_clock::now())
    {
        if (!log_)
            return;
        record.time = QDateTime::currentDateTime();
        record.role = TrafficRecord::Role::DeviceCommand;
        record.context = context;
        record.method = QString::fromLatin1(methodName(method));
        record.target = url;
    }
    ~Recording()
    {
        if (!log_)
            return;
        record.durationUs = std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now() - started_)
                                .count();
        record.replySize = replyReceived;
        log_->add(std::move(record));
    }
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // How much of the reply to keep; nothing while recording is off.
    qint64 keepLimit() const { return log_ ? log_->sideLimit() : 0; }

    TrafficRecord record;
    qint64 replyReceived = 0;

private:
    TrafficLog* log_;
    std::chrono::steady_clock::time_point started_;
};

// The connection and its I/O. Every operation runs to its end on the calling
// thread, each with its own deadline.
struct HttpClient::Transport
{
    asio::io_context ioc;
    std::optional<tcp::resolver> resolver;
    std::optional<beast::tcp_stream> stream;
    beast::flat_buffer buffer;
    QByteArray openHost;
    int openPort = -1;
    std::atomic<bool> cancelled{false};
    std::optional<asio::ip::address> localAddress;

    bool isOpenTo(const RequestTarget& target) const
    {
        return stream && openHost == target.host && openPort == target.port;
    }

    void close()
    {
        if (stream) {
            error_code ignored;
            stream->socket().shutdown(tcp::socket::shutdown_both, ignored);
            stream->close();
        }
        stream.reset();
        buffer.clear();
        openPort = -1;
    }

    // start gets a completion handler taking an error code.
    template <typename Start> error_code run(Start start)
    {
        ioc.restart();
        if (cancelled)
            throw Failure(QStringLiteral("Operation aborted."));
        std::optional<error_code> result;
        start([&result](const error_code& ec) { result = ec; });
        ioc.run();
        if (cancelled) {
            close();
            throw Failure(QStringLiteral("Operation aborted."));
        }
        return result.value_or(asio::error::operation_aborted);
    }

    void expireAfter(int timeoutMs)
    {
        if (timeoutMs > 0)
            stream->expires_after(std::chrono::milliseconds(timeoutMs));
        else
            stream->expires_never();
    }

    std::vector<tcp::endpoint> resolve(const RequestTarget& target)
    {
        const auto port = static_cast<unsigned short>(target.port);
        error_code ec;
        const auto address = asio::ip::make_address(target.host.toStdString(), ec);
        if (!ec)
            return {tcp::endpoint(address, port)};

        resolver.emplace(ioc);
        std::vector<tcp::endpoint> endpoints;
        ec = run([&](auto done) {
            resolver->async_resolve(
                target.host.toStdString(), std::to_string(port),
                [done, &endpoints](const error_code& resolveEc, const tcp::resolver::results_type& found) {
                    for (const auto& entry : found)
                        endpoints.push_back(entry.endpoint());
                    done(resolveEc);
                });
        });
        resolver.reset();
        if (ec)
            throw Failure(socketError(ec));
        return endpoints;
    }

    void connect(const RequestTarget& target, int timeoutMs)
    {
        close();
        const std::vector<tcp::endpoint> endpoints = resolve(target);
        stream.emplace(ioc);
        expireAfter(timeoutMs);
        error_code ec;
        if (localAddress) {
            // A socket bound to its own address connects to the first endpoint only:
            // trying the next would open a new, unbound socket.
            stream->socket().open(endpoints.front().protocol(), ec);
            if (!ec)
                stream->socket().bind(tcp::endpoint(*localAddress, 0), ec);
            if (!ec)
                ec = run([&](auto done) { stream->async_connect(endpoints.front(), done); });
        } else {
            ec = run([&](auto done) {
                stream->async_connect(
                    endpoints, [done](const error_code& connectEc, const tcp::endpoint&) { done(connectEc); });
            });
        }
        if (ec) {
            close();
            throw Failure(ec == beast::error::timeout ? QStringLiteral("Connect timed out.")
                                                      : socketError(ec));
        }
        openHost = target.host;
        openPort = target.port;
    }

    // Writes the request, its body straight from the caller's bytes, and reads
    // the reply, each piece by piece: a transfer that keeps moving never times
    // out, however long it takes, while a stall does.
    error_code exchange(const QByteArray& head, const QByteArray& body, ReplyParser& parser, int timeoutMs,
                        Recording& recorded)
    {
        RecordingReadStream<beast::tcp_stream> recording(*stream, recorded.record.reply, recorded.replyReceived,
                                                         recorded.keepLimit());
        const std::array<asio::const_buffer, 2> request{asio::buffer(head.constData(), head.size()),
                                                        asio::buffer(body.constData(), body.size())};
        beast::buffers_suffix<std::array<asio::const_buffer, 2>> unsent(request);
        error_code ec;
        while (!ec && beast::buffer_bytes(unsent) > 0) {
            expireAfter(timeoutMs);
            ec = run([&](auto done) {
                stream->async_write_some(unsent,
                                         [done, &unsent](const error_code& writeEc, std::size_t written) {
                                             unsent.consume(written);
                                             done(writeEc);
                                         });
            });
        }
        while (!ec && !parser.is_done()) {
            expireAfter(timeoutMs);
            ec = run([&](auto done) {
                http::async_read_some(recording, buffer, parser,
                                      [done](const error_code& readEc, std::size_t) { done(readEc); });
            });
        }
        if (ec)
            close();
        return ec;
    }
};

HttpClient::HttpClient(QByteArray contentType)
    : contentType_(std::move(contentType)), transport_(std::make_unique<Transport>())
{
}

HttpClient::~HttpClient() = default;

void HttpClient::setLocalAddress(const QString& address)
{
    error_code ec;
    const auto parsed = asio::ip::make_address(address.toStdString(), ec);
    if (ec)
        throw Failure(QStringLiteral("not an IP address: ") + address);
    transport_->localAddress = parsed;
    transport_->close();
}

void HttpClient::cancel()
{
    Transport* transport = transport_.get();
    transport->cancelled = true;
    // The socket belongs to the thread that runs the request: stop it there.
    asio::post(transport->ioc, [transport] {
        if (!transport->cancelled)
            return;
        if (transport->resolver)
            transport->resolver->cancel();
        if (transport->stream)
            transport->stream->cancel();
    });
}

void HttpClient::rearm()
{
    transport_->cancelled = false;
}

QByteArray HttpClient::send(Method method, const QString& url, const QByteArray& body)
{
    Recording recorded(traffic_, trafficContext_, method, url);
    lastStatus_ = 0;
    try {
        return exchange(method, url, body, recorded);
    } catch (const std::exception& error) {
        recorded.record.result = QString::fromUtf8(error.what());
        throw;
    }
}

QByteArray HttpClient::exchange(Method method, const QString& url, const QByteArray& body, Recording& recorded)
{
    Transport& transport = *transport_;
    const RequestTarget target = SplitCommandUrl(url);
    const QByteArray head = requestHead(method, target, contentType_, cookies_.headerFor(target.host), body);
    if (recorded.keepLimit() > 0) {
        // A large body (firmware) is copied only as far as the log keeps it.
        const qsizetype keptBody = std::min<qsizetype>(body.size(), std::max<qint64>(0, recorded.keepLimit() - head.size()));
        recorded.record.request = keptBody == body.size() ? head + body : head + body.left(keptBody);
        recorded.record.requestSize = head.size() + body.size();
    }

    const bool reused = method != Method::Post && transport.isOpenTo(target);
    if (!reused)
        transport.connect(target, timeoutMs_);
    auto parser = std::make_unique<ReplyParser>();
    parser->body_limit(kMaxReplyBodyBytes);
    error_code ec = transport.exchange(head, body, *parser, timeoutMs_, recorded);
    // A kept connection that the terminal has closed meanwhile fails before
    // any reply byte; the request then goes once more on a new connection.
    if (ec && reused && !parser->got_some() && ec != beast::error::timeout) {
        transport.connect(target, timeoutMs_);
        parser = std::make_unique<ReplyParser>();
        parser->body_limit(kMaxReplyBodyBytes);
        ec = transport.exchange(head, body, *parser, timeoutMs_, recorded);
    }
    if (ec == beast::error::timeout)
        throw Failure(QStringLiteral("Read timed out."));
    if (ec == http::error::body_limit)
        throw Failure(QStringLiteral("Reply body larger than %1 MiB.").arg(kMaxReplyBodyBytes >> 20));
    if (ec == http::error::end_of_stream)
        throw Failure(QStringLiteral("Connection Closed Gracefully."));
    if (ec)
        throw Failure(socketError(ec));

    auto& reply = parser->get();
    recorded.record.status = reply.result_int();
    lastStatus_ = reply.result_int();
    for (const auto& field : reply)
        if (field.name() == http::field::set_cookie)
            cookies_.keep(target.host, QByteArray(field.value().data(), field.value().size()));
    if (!parser->keep_alive())
        transport.close();
    if (reply.result_int() < 200 || reply.result_int() > 299)
        throw Failure(statusLine(reply));
    return std::move(reply.body());
}
