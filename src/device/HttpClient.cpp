#include "device/HttpClient.h"

#include "common/Failure.h"
#include "common/TextCodec.h"

// GCC 12 in C++20 mode needs <utility> ahead of Asio.
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;
using boost::system::error_code;

namespace {

const QByteArray kAccept = "text/html, */*";
const QByteArray kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";

// The parts of a command URL that go on the wire.
struct Target
{
    QByteArray host;
    int port = 80;
    QByteArray pathAndQuery;
};

// A backslash counts as a slash and everything from "#" on is dropped; the
// rest of the path and query goes on the request line without any escaping.
Target splitUrl(const QString& url)
{
    QByteArray text = TextCodec::toGbk(url).replace('\\', '/');
    const qsizetype fragment = text.indexOf('#');
    if (fragment >= 0)
        text.truncate(fragment);
    const qsizetype scheme = text.indexOf("://");
    if (scheme >= 0)
        text.remove(0, scheme + 3);

    Target target;
    qsizetype pathStart = text.indexOf('/');
    const qsizetype queryStart = text.indexOf('?');
    if (queryStart >= 0 && (pathStart < 0 || queryStart < pathStart))
        pathStart = queryStart;
    const QByteArray authority = pathStart >= 0 ? text.left(pathStart) : text;
    target.pathAndQuery = pathStart >= 0 ? text.mid(pathStart) : QByteArray("/");
    if (!target.pathAndQuery.startsWith('/'))
        target.pathAndQuery.prepend('/');

    const qsizetype colon = authority.lastIndexOf(':');
    target.host = colon >= 0 ? authority.left(colon) : authority;
    if (colon >= 0) {
        bool ok = false;
        target.port = authority.mid(colon + 1).toInt(&ok);
        if (!ok || target.port < 0 || target.port > 65535)
            throw Failure(QStringLiteral("Invalid port number: ") +
                          QString::fromLatin1(authority.mid(colon + 1)));
    }
    return target;
}

QString errorText(const error_code& ec)
{
    return QString::fromStdString(ec.message());
}

} // namespace

struct HttpClient::Transport
{
    asio::io_context ioc;
    std::optional<tcp::resolver> resolver;
    std::optional<beast::tcp_stream> stream;
    beast::flat_buffer buffer;
    QByteArray openHost;
    int openPort = -1;
    std::atomic<bool> cancelled{false};
    // Cookies per host, in the order they were first set.
    std::map<QByteArray, std::vector<std::pair<QByteArray, QByteArray>>> cookies;

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

    // Runs one asynchronous operation to its end on the calling thread. Each
    // piece of work gets its own deadline, so a reply that keeps trickling in
    // never times out while a stall does.
    template <typename Start> error_code run(Start start)
    {
        ioc.restart();
        if (cancelled)
            throw Failure(QStringLiteral("Operation aborted."));
        std::optional<error_code> result;
        start([&result](const error_code& ec, auto&&...) { result = ec; });
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

    void connect(const Target& target, int timeoutMs)
    {
        close();
        std::vector<tcp::endpoint> endpoints;
        error_code ec;
        const auto address = asio::ip::make_address(target.host.toStdString(), ec);
        if (!ec) {
            endpoints.emplace_back(address, static_cast<unsigned short>(target.port));
        } else {
            resolver.emplace(ioc);
            tcp::resolver::results_type results;
            ec = run([&](auto handler) {
                resolver->async_resolve(target.host.toStdString(), std::to_string(target.port),
                                        [handler, &results](const error_code& resolveEc,
                                                            tcp::resolver::results_type found) mutable {
                                            results = std::move(found);
                                            handler(resolveEc);
                                        });
            });
            resolver.reset();
            if (ec)
                throw Failure(QStringLiteral("Socket Error: ") + errorText(ec));
            for (const auto& entry : results)
                endpoints.push_back(entry.endpoint());
        }
        stream.emplace(ioc);
        expireAfter(timeoutMs);
        ec = run([&](auto handler) {
            stream->async_connect(endpoints, [handler](const error_code& connectEc,
                                                       const tcp::endpoint&) mutable { handler(connectEc); });
        });
        if (ec) {
            close();
            if (ec == beast::error::timeout)
                throw Failure(QStringLiteral("Connect timed out."));
            throw Failure(QStringLiteral("Socket Error: ") + errorText(ec));
        }
        openHost = target.host;
        openPort = target.port;
    }
};

HttpClient::HttpClient(QByteArray contentType)
    : contentType_(std::move(contentType)), transport_(std::make_unique<Transport>())
{
}

HttpClient::~HttpClient() = default;

void HttpClient::cancel()
{
    Transport* transport = transport_.get();
    transport->cancelled = true;
    // The socket belongs to the thread that runs the request: close it there.
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
    Transport& t = *transport_;
    const Target target = splitUrl(url);
    const bool isPost = method == Method::Post;

    QByteArray request;
    request += isPost ? "POST " : method == Method::Put ? "PUT " : "GET ";
    request += target.pathAndQuery + (isPost ? " HTTP/1.0\r\n" : " HTTP/1.1\r\n");
    if (isPost)
        request += "Connection: keep-alive\r\n";
    request += "Content-Type: " + contentType_ + "\r\n";
    if (method != Method::Get)
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "Host: " + target.host + ':' + QByteArray::number(target.port) + "\r\n";
    request += "Accept: " + kAccept + "\r\n";
    request += "User-Agent: " + kUserAgent + "\r\n";
    const auto& cookies = t.cookies[target.host.toLower()];
    if (!cookies.empty()) {
        QByteArray line;
        for (const auto& [name, value] : cookies)
            line += (line.isEmpty() ? "" : "; ") + name + '=' + value;
        request += "Cookie: " + line + "\r\n";
    }
    request += "\r\n";
    request += body;

    const bool reusable = !isPost && t.stream && t.openHost == target.host && t.openPort == target.port;
    if (!reusable)
        t.connect(target, timeoutMs_);

    // A kept connection that the terminal has meanwhile closed fails before any
    // reply byte arrives; then the request goes once more on a new connection.
    for (bool firstTry = true;; firstTry = false) {
        http::response_parser<http::string_body> parser;
        parser.body_limit(std::numeric_limits<std::uint64_t>::max());
        parser.header_limit(1024 * 1024);

        t.expireAfter(timeoutMs_);
        error_code ec = t.run([&](auto handler) {
            asio::async_write(
                *t.stream, asio::buffer(request.constData(), request.size()),
                [handler](const error_code& writeEc, std::size_t) mutable { handler(writeEc); });
        });
        while (!ec && !parser.is_done()) {
            t.expireAfter(timeoutMs_);
            ec = t.run([&](auto handler) {
                http::async_read_some(
                    *t.stream, t.buffer, parser,
                    [handler](const error_code& readEc, std::size_t) mutable { handler(readEc); });
            });
        }
        if (ec) {
            const bool nothingReceived = !parser.got_some();
            t.close();
            if (reusable && firstTry && nothingReceived && ec != beast::error::timeout) {
                t.connect(target, timeoutMs_);
                continue;
            }
            if (ec == beast::error::timeout)
                throw Failure(QStringLiteral("Read timed out."));
            if (ec == http::error::end_of_stream || ec == asio::error::eof)
                throw Failure(QStringLiteral("Connection Closed Gracefully."));
            throw Failure(QStringLiteral("Socket Error: ") + errorText(ec));
        }

        const auto& reply = parser.get();
        auto& kept = t.cookies[target.host.toLower()];
        for (const auto& field : reply) {
            if (field.name() != http::field::set_cookie)
                continue;
            const QByteArray text = QByteArray(field.value().data(), field.value().size());
            const QByteArray pair = text.left(text.indexOf(';') >= 0 ? text.indexOf(';') : text.size());
            const qsizetype equals = pair.indexOf('=');
            if (equals <= 0)
                continue;
            const QByteArray name = pair.left(equals).trimmed();
            const QByteArray value = pair.mid(equals + 1).trimmed();
            auto cookie =
                std::find_if(kept.begin(), kept.end(), [&name](const auto& c) { return c.first == name; });
            if (cookie != kept.end())
                cookie->second = value;
            else
                kept.emplace_back(name, value);
        }

        if (!parser.keep_alive())
            t.close();

        const int status = reply.result_int();
        if (status < 200 || status > 299) {
            const auto reason = reply.reason();
            QByteArray statusLine = "HTTP/" + QByteArray::number(reply.version() / 10) + '.' +
                                    QByteArray::number(reply.version() % 10) + ' ' +
                                    QByteArray::number(status);
            if (!reason.empty())
                statusLine += ' ' + QByteArray(reason.data(), reason.size());
            throw Failure(TextCodec::fromGbk(statusLine));
        }
        return QByteArray(reply.body().data(), reply.body().size());
    }
}
