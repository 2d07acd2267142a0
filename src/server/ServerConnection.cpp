// <utility> first: Asio 1.74 misses it with GCC 12 in C++20 mode.
#include <utility>

#include "server/ServerConnection.h"

#include "common/TrafficLog.h"
#include "server/ReplyFraming.h"
#include "server/RequestDecoding.h"
#include "server/RouteTable.h"

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/http/read.hpp>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

// Refused requests keep their socket open a little longer for unread bytes, so
// that the refusal reaches the client rather than being cut off by a reset.
constexpr std::chrono::milliseconds kLingerTime{2000};
constexpr std::size_t kLingerBytes = 4 << 20;
constexpr std::size_t kReadChunk = 64 * 1024;
// A body of unknown length takes its room in steps of this size.
constexpr std::int64_t kRoomStep = 1 << 20;
// How often a request that waits for room asks again.
constexpr std::chrono::milliseconds kRoomPoll{10};
// The handler's copies of a body: its text for the log line, two bytes a byte.
constexpr std::int64_t kHandlerCopies = 2;

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

QString seconds(std::chrono::milliseconds time)
{
    return QString::number(time.count() / 1000.0);
}

QString closeReasonText(CloseReason reason, const HttpServerLimits& limits)
{
    switch (reason) {
    case CloseReason::HeaderLate:
        return QStringLiteral("closed: the header was not complete %1 s after the opening")
            .arg(seconds(limits.headerDeadline));
    case CloseReason::BodySlow:
        return QStringLiteral("closed: the body came slower than %1 bytes/s")
            .arg(limits.minBodyBytesPerSecond);
    case CloseReason::NothingReceived:
        return QStringLiteral("closed: nothing came or went for %1 s").arg(seconds(limits.readTimeout));
    case CloseReason::Evicted:
        return QStringLiteral("closed: idle longest when a new connection came at the limit of %1")
            .arg(limits.maxConnections);
    case CloseReason::NoMemory:
        return QStringLiteral("refused with 503: no room for the body in the memory budget within %1 s")
            .arg(seconds(limits.budgetWait));
    }
    return {};
}

} // namespace

ServerConnection::Registration::~Registration()
{
    if (registry)
        registry->remove(entry);
}

void ServerConnection::admit(const std::shared_ptr<ServerShared>& shared, tcp::socket socket)
{
    auto connection = std::make_shared<ServerConnection>(shared, std::move(socket));
    if (!shared->registry.add(connection, connection->registration.entry))
        return;
    connection->registration.registry = &shared->registry;
    asio::post(connection->stream.get_executor(), [connection] { connection->start(); });
}

ServerConnection::ServerConnection(std::shared_ptr<ServerShared> shared, tcp::socket socket)
    : shared(std::move(shared)), stream(std::move(socket)), roomTimer(stream.get_executor()),
      keepLimit(this->shared->traffic && this->shared->traffic->enabled() ? this->shared->traffic->sideLimit()
                                                                          : 0),
      recording(stream, exchange.request, exchange.requestSize, keepLimit)
{
}

ServerConnection::~ServerConnection()
{
    record();
    giveBackRoom();
}

void ServerConnection::closeFor(const CloseReason* reason)
{
    std::optional<CloseReason> why;
    if (reason)
        why = *reason;
    asio::post(stream.get_executor(), [self = shared_from_this(), why] {
        // A refused one keeps the reason it was refused for.
        if (why && !self->refused)
            self->closeNow(*why);
        self->closedFromOutside = true;
        self->roomTimer.cancel();
        self->stream.close();
    });
}

void ServerConnection::closeNow(CloseReason reason)
{
    if (closedFor)
        return;
    closedFor = reason;
    exchange.result = closeReasonText(reason, shared->limits);
    shared->closures->note(reason);
}

void ServerConnection::start()
{
    exchange.time = QDateTime::currentDateTime();
    parser.emplace();
    parser->header_limit(shared->limits.maxHeaderBytes);
    parser->body_limit(static_cast<std::uint64_t>(shared->limits.maxBodyBytes));
    readHeader();
}

void ServerConnection::arm(Clock::time_point deadline, CloseReason late)
{
    const Clock::time_point idleEnd = Clock::now() + shared->limits.readTimeout;
    lateReason = deadline <= idleEnd ? late : CloseReason::NothingReceived;
    stream.expires_at(std::min(deadline, idleEnd));
}

void ServerConnection::touch()
{
    shared->registry.touch(registration.entry);
}

void ServerConnection::fail(const beast::error_code& ec)
{
    if (closedFor || closedFromOutside) {
        if (!closedFor)
            exchange.result = QString::fromStdString(ec.message());
        return;
    }
    if (ec == beast::error::timeout) {
        closeNow(lateReason);
        return;
    }
    exchange.result = QString::fromStdString(ec.message());
    if (const int status = refusalStatus(ec))
        refuse(status);
}

void ServerConnection::readHeader()
{
    arm(opened + shared->limits.headerDeadline, CloseReason::HeaderLate);
    http::async_read_some(
        recording, buffer, *parser,
        [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onHeader(ec); });
}

void ServerConnection::onHeader(const beast::error_code& ec)
{
    if (ec)
        return fail(ec);
    touch();
    if (!parser->is_header_done())
        return readHeader();

    const auto& header = parser->get();
    method = header.method();
    exchange.method = QString::fromLatin1(QByteArray::fromStdString(std::string(header.method_string())));
    exchange.target = QString::fromLatin1(QByteArray::fromStdString(std::string(header.target())));
    const bool putAllowed = method == http::verb::put && shared->limits.acceptsPut;
    if (method != http::verb::get && method != http::verb::post && method != http::verb::head && !putAllowed)
        return;
    if (const auto length = parser->content_length())
        declaredLength = static_cast<std::int64_t>(*length);
    readsToClose = method == http::verb::post && !declaredLength && !parser->chunked();
    if (parser->is_done())
        return readsToClose ? readUntilClose() : handle();
    // The room for a body of known length is taken before any of it is read.
    withRoom(declaredLength.value_or(0), &ServerConnection::readBody);
}

void ServerConnection::readBody()
{
    if (!bodyStarted) {
        bodyStarted = Clock::now();
        if (beast::iequals(parser->get()[http::field::expect], "100-continue"))
            return write("HTTP/1.1 100 Continue\r\n\r\n", &ServerConnection::readBody);
    }
    if (parser->is_done())
        return handle();
    if (declaredLength)
        return readBodyPiece();
    withRoom(parser->get().body().size() + kRoomStep, &ServerConnection::readBodyPiece);
}

void ServerConnection::readBodyPiece()
{
    arm(bodyDeadline(declaredLength.value_or(parser->get().body().size())), CloseReason::BodySlow);
    http::async_read_some(recording, buffer, *parser,
                          [self = shared_from_this()](beast::error_code ec, std::size_t) {
                              if (ec)
                                  return self->fail(ec);
                              self->touch();
                              self->readBody();
                          });
}

// A POST without Content-Length carries everything up to the client's close; the
// parser leaves those bytes alone.
void ServerConnection::readUntilClose()
{
    if (!bodyStarted)
        bodyStarted = Clock::now();
    if (takeRawBytes())
        withRoom(rawBody.size() + kRoomStep, &ServerConnection::readRawPiece);
}

bool ServerConnection::takeRawBytes()
{
    rawBody +=
        QByteArray(static_cast<const char*>(buffer.data().data()), static_cast<qsizetype>(buffer.size()));
    buffer.consume(buffer.size());
    if (rawBody.size() <= shared->limits.maxBodyBytes)
        return true;
    fail(http::error::body_limit);
    return false;
}

void ServerConnection::readRawPiece()
{
    arm(bodyDeadline(rawBody.size()), CloseReason::BodySlow);
    recording.async_read_some(buffer.prepare(kReadChunk),
                              [self = shared_from_this()](beast::error_code ec, std::size_t received) {
                                  self->buffer.commit(received);
                                  if (ec == asio::error::eof) {
                                      if (self->takeRawBytes())
                                          self->handle();
                                      return;
                                  }
                                  if (ec)
                                      return self->fail(ec);
                                  self->touch();
                                  self->readUntilClose();
                              });
}

ServerConnection::Clock::time_point ServerConnection::bodyDeadline(std::int64_t expectedBytes) const
{
    const HttpServerLimits& limits = shared->limits;
    const auto atLeastRate =
        limits.bodyGrace + std::chrono::milliseconds(expectedBytes * 1000 /
                                                     std::max<std::int64_t>(1, limits.minBodyBytesPerSecond));
    return *bodyStarted + std::max(limits.minBodyTime, atLeastRate);
}

std::int64_t ServerConnection::cost(std::int64_t bodyBytes) const
{
    return bodyBytes * (1 + kHandlerCopies) + std::min<std::int64_t>(bodyBytes, keepLimit);
}

void ServerConnection::withRoom(std::int64_t bodyBytes, Step next)
{
    const std::int64_t needed = cost(bodyBytes);
    if (needed <= charged)
        return (this->*next)();
    roomAsked = Clock::now();
    askRoom(needed, next);
}

void ServerConnection::askRoom(std::int64_t needed, Step next)
{
    if (shared->budget.tryTake(needed - charged)) {
        charged = needed;
        return (this->*next)();
    }
    if (Clock::now() - roomAsked >= shared->limits.budgetWait) {
        closeNow(CloseReason::NoMemory);
        return refuse(503);
    }
    roomTimer.expires_after(kRoomPoll);
    roomTimer.async_wait([self = shared_from_this(), needed, next](beast::error_code ec) {
        if (ec || self->closedFromOutside)
            return self->fail(ec ? ec : asio::error::operation_aborted);
        self->askRoom(needed, next);
    });
}

void ServerConnection::giveBackRoom()
{
    shared->budget.give(charged);
    charged = 0;
}

void ServerConnection::handle()
{
    shared->registry.setBusy(registration.entry);
    stream.expires_never();
    auto message = parser->release();
    parser.reset();
    QByteArray body = readsToClose ? std::move(rawBody) : std::move(message.body());
    rawBody = QByteArray();

    const auto lengthHeader = message.find(http::field::content_length);
    const qint64 contentLength =
        lengthHeader == message.end()
            ? -1
            : QByteArray::fromStdString(std::string(lengthHeader->value())).toLongLong();
    ServerRequest request = RequestDecoding::makeRequest(
        QByteArray::fromStdString(std::string(message.target())),
        QByteArray::fromStdString(std::string(message[http::field::content_type])), contentLength, body);
    body = QByteArray();
    boost::system::error_code ignored;
    const auto peer = stream.socket().remote_endpoint(ignored);
    if (!ignored)
        request.remoteAddress = QString::fromStdString(peer.address().to_string());
    if (const std::optional<Route> route = findRoute(request.document))
        exchange.context = QString::fromLatin1(routeKeyword(*route));

    shared->handlers->run([self = shared_from_this(), request = std::move(request)]() mutable {
        std::optional<ServerReply> reply;
        try {
            reply = self->shared->handler(request);
        } catch (const std::exception&) {
            // Closed without a reply, as when the handler gives none.
        }
        request = ServerRequest();
        asio::post(self->stream.get_executor(), [self, reply = std::move(reply)] { self->sendReply(reply); });
    });
}

void ServerConnection::sendReply(const std::optional<ServerReply>& reply)
{
    giveBackRoom();
    if (!reply) {
        exchange.result = QStringLiteral("closed without a reply");
        return;
    }
    exchange.status = reply->status;
    write(frameReply(*reply, method == http::verb::head), nullptr);
}

void ServerConnection::write(QByteArray bytes, Step next)
{
    if (keepLimit > 0) {
        exchange.reply += bytes.left(keepLimit - exchange.reply.size());
        exchange.replySize += bytes.size();
    }
    outgoing = std::move(bytes);
    lateReason = CloseReason::NothingReceived;
    stream.expires_after(shared->limits.readTimeout);
    asio::async_write(stream, asio::buffer(outgoing.constData(), static_cast<std::size_t>(outgoing.size())),
                      [self = shared_from_this(), next](beast::error_code ec, std::size_t) {
                          if (ec) {
                              if (ec == beast::error::timeout && !self->closedFromOutside)
                                  self->closeNow(CloseReason::NothingReceived);
                              return;
                          }
                          if (next)
                              return (self.get()->*next)();
                          // Kept before the client sees the end, so that whoever has
                          // the reply finds the exchange in the log.
                          self->record();
                          beast::error_code ignored;
                          self->stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
                      });
}

void ServerConnection::refuse(int status)
{
    refused = true;
    giveBackRoom();
    ServerReply reply;
    reply.status = status;
    exchange.status = status;
    drainLeft = kLingerBytes;
    if (status == 503) {
        // The client may go on sending its body; it is read and dropped, so
        // that the client gets to read the refusal.
        reply.retryAfterSeconds = 1;
        drainLeft = std::max<std::size_t>(drainLeft, declaredLength.value_or(0));
        drainKeeps = false;
    }
    write(frameReply(reply), &ServerConnection::drain);
}

void ServerConnection::drain()
{
    beast::error_code ignored;
    stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
    stream.expires_after(drainKeeps ? std::min(shared->limits.readTimeout, kLingerTime)
                                    : std::max(shared->limits.readTimeout, kLingerTime));
    drainPiece();
}

void ServerConnection::drainPiece()
{
    buffer.consume(buffer.size());
    auto done = [self = shared_from_this()](beast::error_code ec, std::size_t received) {
        if (!self->drainKeeps)
            self->exchange.requestSize += static_cast<qint64>(received);
        if (ec || received >= self->drainLeft)
            return;
        self->drainLeft -= received;
        self->drainPiece();
    };
    if (drainKeeps)
        recording.async_read_some(buffer.prepare(kReadChunk), std::move(done));
    else
        stream.async_read_some(buffer.prepare(kReadChunk), std::move(done));
}

void ServerConnection::record()
{
    if (recorded || keepLimit == 0 || (exchange.requestSize == 0 && !closedFor))
        return;
    recorded = true;
    exchange.role = TrafficRecord::Role::ServerRequest;
    exchange.durationUs =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - opened).count();
    shared->traffic->add(std::move(exchange));
}
