#include "terminal/CallbackSender.h"

#include "common/Failure.h"
#include "device/FormFields.h"
#include "device/HttpClient.h"
#include "terminal/CallbackPolicy.h"

#include <QDateTime>

namespace {

constexpr int kTimeoutMs = 5000;

} // namespace

CallbackSender::CallbackSender(TerminalStore& store, bool anywhere, Log log)
    : store(store), anywhere(anywhere), log(std::move(log))
{
    thread = std::thread([this] { run(); });
}

CallbackSender::~CallbackSender()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void CallbackSender::send(Outgoing request)
{
    {
        std::lock_guard lock(mutex);
        queue.push_back(std::move(request));
    }
    changed.notify_all();
}

void CallbackSender::wake()
{
    {
        std::lock_guard lock(mutex);
        rescheduled = true;
    }
    changed.notify_all();
}

Outgoing CallbackSender::heartbeat()
{
    return store.with([](TerminalState& state) {
        FormFields fields;
        fields.setBytes("deviceKey", state.serialNumber.toUtf8());
        fields.setBytes("ip", reportedAddress(state).toUtf8());
        fields.setBytes("personCount", QByteArray::number(qulonglong(state.persons.size())));
        fields.setBytes("faceCount", QByteArray::number(qulonglong(state.faces.size())));
        fields.setBytes("time", QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
        return Outgoing{QStringLiteral("heartbeat"),
                        state.callbacks.heartbeat,
                        "application/x-www-form-urlencoded",
                        fields.encoded(),
                        {}};
    });
}

void CallbackSender::run()
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextBeat = Clock::now();
    std::unique_lock lock(mutex);
    while (!stopping) {
        const auto [url, seconds] = store.with([](TerminalState& state) {
            return std::pair(state.callbacks.heartbeat, state.callbacks.heartbeatSeconds);
        });
        if (rescheduled) {
            rescheduled = false;
            nextBeat = Clock::now();
        }
        if (!queue.empty()) {
            const Outgoing request = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            deliver(request);
            lock.lock();
            continue;
        }
        if (!url.isEmpty() && Clock::now() >= nextBeat) {
            nextBeat = Clock::now() + std::chrono::seconds(std::max(1, seconds));
            lock.unlock();
            deliver(heartbeat());
            lock.lock();
            continue;
        }
        if (url.isEmpty())
            changed.wait(lock);
        else
            changed.wait_until(lock, nextBeat);
    }
}

void CallbackSender::deliver(const Outgoing& request)
{
    if (request.url.isEmpty()) {
        log(request.what + QStringLiteral(": no address registered for it"));
        return;
    }
    if (!anywhere && !isLoopbackUrl(request.url)) {
        log(QStringLiteral(
                "%1: not sent to %2, which is not a loopback address (--callbacks-anywhere allows it)")
                .arg(request.what, request.url));
        return;
    }
    HttpClient client(request.contentType);
    client.setTimeoutMs(kTimeoutMs);
    // From the terminal's own address, so that the tool tells the terminals of a site apart.
    if (isLoopbackUrl(request.url))
        client.setLocalAddress(store.with([](TerminalState& state) { return state.address; }));
    try {
        const QByteArray reply = client.send(HttpClient::Method::Post, request.url, request.body);
        // An empty reply, as a heartbeat's, still says that it came.
        const QString answer = reply.isEmpty() ? QStringLiteral("%1, empty").arg(client.lastStatus())
                                               : QString::fromUtf8(reply.left(300));
        log(QStringLiteral("%1 -> %2: %3").arg(request.what, request.url, answer));
        if (request.then)
            request.then(reply);
    } catch (const Failure& failure) {
        log(QStringLiteral("%1 -> %2 failed: %3").arg(request.what, request.url, failure.text()));
    }
}
