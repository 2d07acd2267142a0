#pragma once

#include "common/RecordingReadStream.h"
#include "common/TrafficRecord.h"
#include "common/ByteArrayBody.h"
#include "server/ServerShared.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>

#include <memory>
#include <optional>

// One accepted connection: its request read piece by piece within the
// deadlines, the body's memory taken from the budget, the request handed to a
// handler thread and the reply written back. Every step runs on the
// connection's strand; the connection lives as long as a step of it is pending.
class ServerConnection : public ClosableConnection, public std::enable_shared_from_this<ServerConnection>
{
public:
    // Registers the connection and starts reading, or closes it when the
    // server is full of busy connections.
    static void admit(const std::shared_ptr<ServerShared>& shared, boost::asio::ip::tcp::socket socket);

    ServerConnection(std::shared_ptr<ServerShared> shared, boost::asio::ip::tcp::socket socket);
    ~ServerConnection() override;

    void closeFor(const CloseReason* reason) override;

private:
    using Parser = boost::beast::http::request_parser<ByteArrayBody>;
    using Clock = std::chrono::steady_clock;
    using Step = void (ServerConnection::*)();

    // Removes the connection from the registry as the very last thing it does,
    // once its socket is closed.
    struct Registration
    {
        ConnectionRegistry* registry = nullptr;
        ConnectionRegistry::Entry entry;
        ~Registration();
    };

    void start();
    void readHeader();
    void onHeader(const boost::beast::error_code& ec);
    void readBody();
    void readBodyPiece();
    void readUntilClose();
    void readRawPiece();
    // Moves what the buffer holds into the body; false, and refused, when the
    // body is then over the limit.
    bool takeRawBytes();
    void handle();
    void sendReply(const std::optional<ServerReply>& reply);
    void refuse(int status);
    void drain();
    void drainPiece();

    // Sets the read's expiry: the read time-out or the phase's deadline, the
    // earlier one.
    void arm(Clock::time_point deadline, CloseReason late);
    void touch();
    void fail(const boost::beast::error_code& ec);
    void closeNow(CloseReason reason);
    void write(QByteArray bytes, Step next);
    Clock::time_point bodyDeadline(std::int64_t expectedBytes) const;
    // What a body of this size holds in all: itself, the traffic log's copy and
    // the handler's.
    std::int64_t cost(std::int64_t bodyBytes) const;
    // Runs next once the budget covers a body of this size, or refuses with 503.
    void withRoom(std::int64_t bodyBytes, Step next);
    void askRoom(std::int64_t needed, Step next);
    void giveBackRoom();
    // Stores the exchange in the traffic log once, when it is recorded and
    // anything came or the server closed it on its own.
    void record();

    const std::shared_ptr<ServerShared> shared;
    Registration registration;
    boost::beast::tcp_stream stream;
    boost::asio::steady_timer roomTimer;
    boost::beast::flat_buffer buffer;
    // Every read of the request goes through `recording`, which keeps its bytes
    // as they arrived for the traffic log.
    TrafficRecord exchange;
    const Clock::time_point opened = Clock::now();
    const qint64 keepLimit;
    RecordingReadStream<boost::beast::tcp_stream> recording;
    std::optional<Parser> parser;
    boost::beast::http::verb method = boost::beast::http::verb::unknown;
    std::optional<std::int64_t> declaredLength;
    bool readsToClose = false;
    QByteArray rawBody;
    QByteArray outgoing;
    std::optional<Clock::time_point> bodyStarted;
    Clock::time_point roomAsked;
    std::int64_t charged = 0;
    // What an expiry of the pending read means.
    CloseReason lateReason = CloseReason::NothingReceived;
    std::optional<CloseReason> closedFor;
    bool closedFromOutside = false;
    bool recorded = false;
    bool refused = false;
    std::size_t drainLeft = 0;
    bool drainKeeps = true;
};
