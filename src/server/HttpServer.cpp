// <utility> first: Asio 1.74 misses it with GCC 12 in C++20 mode.
#include <utility>

#include "server/HttpServer.h"

#include "common/Failure.h"
#include "server/ServerConnection.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>

#include <algorithm>
#include <future>
#include <thread>
#include <vector>

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

// Threads that run the connections; handlers have threads of their own.
int serverThreads()
{
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 2u, 4u));
}

} // namespace

struct HttpServer::Listener
{
    using Strand = asio::strand<asio::io_context::executor_type>;

    asio::io_context context;
    asio::executor_work_guard<asio::io_context::executor_type> work{context.get_executor()};
    Strand acceptStrand{context.get_executor()};
    tcp::acceptor acceptor{acceptStrand};
    asio::steady_timer retry{acceptStrand};
    Strand reportStrand{context.get_executor()};
    asio::steady_timer reportTimer{reportStrand};
    HandlerThreads handlers;
    std::unique_ptr<ClosureReport> closures;
    std::shared_ptr<ServerShared> shared;
    std::vector<std::thread> threads;

    void acceptNext();
    void scheduleReport(std::chrono::milliseconds delay);
};

void HttpServer::Listener::acceptNext()
{
    acceptor.async_accept(asio::make_strand(context),
                          [this](boost::system::error_code ec, tcp::socket socket) {
                              if (ec == asio::error::operation_aborted)
                                  return;
                              if (ec) {
                                  // Out of descriptors or a similar passing trouble: make room and try
                                  // again shortly instead of spinning.
                                  shared->registry.evictLongestIdle();
                                  retry.expires_after(std::chrono::milliseconds(50));
                                  retry.async_wait([this](boost::system::error_code waited) {
                                      if (!waited)
                                          acceptNext();
                                  });
                                  return;
                              }
                              ServerConnection::admit(shared, std::move(socket));
                              acceptNext();
                          });
}

void HttpServer::Listener::scheduleReport(std::chrono::milliseconds delay)
{
    asio::post(reportStrand, [this, delay] {
        reportTimer.expires_after(delay);
        reportTimer.async_wait([this](boost::system::error_code ec) {
            if (!ec)
                closures->flush();
        });
    });
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
    Listener* running = next.get();
    next->closures = std::make_unique<ClosureReport>(
        limits.closureReportPeriod, closureNotice,
        [running](std::chrono::milliseconds delay) { running->scheduleReport(delay); });
    next->shared = std::make_shared<ServerShared>(handler, limits, traffic);
    next->shared->handlers = &next->handlers;
    next->shared->closures = next->closures.get();

    boost::system::error_code ec;
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
    for (int i = serverThreads(); i > 0; --i)
        next->threads.emplace_back([running] { running->context.run(); });
    listener = std::move(next);
}

void HttpServer::stop()
{
    if (!listener)
        return;
    Listener* running = listener.get();
    std::promise<void> closed;
    asio::post(running->acceptStrand, [running, &closed] {
        boost::system::error_code ignored;
        running->acceptor.close(ignored);
        running->retry.cancel();
        closed.set_value();
    });
    closed.get_future().wait();
    listener->shared->registry.closeAll();
    listener->shared->registry.waitUntilEmpty();
    listener->context.stop();
    for (std::thread& thread : listener->threads)
        thread.join();
    listener.reset();
}
