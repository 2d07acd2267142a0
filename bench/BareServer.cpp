// <utility> first: Asio 1.74 misses it with GCC 12 in C++20 mode.
#include <utility>

#include "BareServer.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>

#include <thread>

namespace asio = boost::asio;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;

struct BareServer::State
{
    asio::io_context context;
    tcp::acceptor acceptor{context};
    QByteArray attendanceReply;
    QByteArray otherReply;
    std::thread thread;

    void acceptNext()
    {
        acceptor.async_accept([this](boost::system::error_code ec, tcp::socket socket) {
            if (ec)
                return;
            std::thread([this, socket = std::move(socket)]() mutable { serve(socket); }).detach();
            acceptNext();
        });
    }

    void serve(tcp::socket& socket)
    {
        boost::beast::flat_buffer buffer;
        http::request<http::string_body> request;
        boost::system::error_code ec;
        http::read(socket, buffer, request, ec);
        if (ec)
            return;
        const QByteArray& reply = request.target() == "/attendance" ? attendanceReply : otherReply;
        asio::write(socket, asio::buffer(reply.constData(), reply.size()), ec);
        socket.shutdown(tcp::socket::shutdown_send, ec);
    }
};

BareServer::BareServer(const std::string& address, std::uint16_t port, QByteArray attendanceReply,
                       QByteArray otherReply)
    : state(std::make_unique<State>())
{
    state->attendanceReply = std::move(attendanceReply);
    state->otherReply = std::move(otherReply);
    const tcp::endpoint endpoint(asio::ip::make_address_v4(address), port);
    state->acceptor.open(endpoint.protocol());
    state->acceptor.set_option(asio::socket_base::reuse_address(true));
    state->acceptor.bind(endpoint);
    state->acceptor.listen(asio::socket_base::max_listen_connections);
    state->acceptNext();
    state->thread = std::thread([this] { state->context.run(); });
}

BareServer::~BareServer()
{
    state->context.stop();
    state->thread.join();
}
