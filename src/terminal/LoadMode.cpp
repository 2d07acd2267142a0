#include "terminal/LoadMode.h"

#include "common/Failure.h"
#include "device/HttpClient.h"
#include "terminal/CallbackPolicy.h"

#include <QDateTime>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct TerminalRun
{
    std::vector<double> latenciesMs;
    qint64 sent = 0;
    qint64 errors = 0;
    QString firstError;
};

struct Request
{
    QString url;
    QByteArray contentType;
    QByteArray body;
};

Request requestFor(const QString& server, int terminal, qint64 sequence)
{
    const QByteArray key = "LOAD" + QByteArray::number(terminal).rightJustified(4, '0');
    const QByteArray now = QByteArray::number(QDateTime::currentMSecsSinceEpoch());
    switch (sequence % 4) {
    case 2:
        return {serviceUrl(server, QStringLiteral("attendance")), "application/x-www-form-urlencoded",
                "deviceKey=" + key + "&personId=" + QByteArray::number(sequence) + "&time=" + now +
                    "&type=face_0"};
    case 3:
        return {serviceUrl(server, QStringLiteral("lan/QRCodeCallback")), "application/x-www-form-urlencoded",
                "deviceKey=" + key + "&qrcode=QM" + QByteArray::number(sequence) + "&time=" + now};
    default:
        return {serviceUrl(server, QStringLiteral("api/heartBeat")), "application/x-www-form-urlencoded",
                "deviceKey=" + key + "&time=" + now};
    }
}

double percentile(const std::vector<double>& sorted, double fraction)
{
    if (sorted.empty())
        return 0;
    const auto index = static_cast<std::size_t>(std::ceil(fraction * double(sorted.size()))) - 1;
    return sorted[std::min(index, sorted.size() - 1)];
}

} // namespace

QString LoadResult::report() const
{
    QString text = QStringLiteral("sent %1, answered %2, errors %3 in %4 s (%5 answered a second)\n"
                                  "latency p50 %6 ms, p99 %7 ms, max %8 ms\n")
                       .arg(sent)
                       .arg(answered)
                       .arg(errors)
                       .arg(seconds, 0, 'f', 1)
                       .arg(seconds > 0 ? double(answered) / seconds : 0, 0, 'f', 1)
                       .arg(p50Ms, 0, 'f', 2)
                       .arg(p99Ms, 0, 'f', 2)
                       .arg(maxMs, 0, 'f', 2);
    if (!firstError.isEmpty())
        text += QStringLiteral("first error: ") + firstError + '\n';
    return text;
}

LoadResult runLoad(const LoadOptions& options)
{
    const int terminals = options.terminals;
    const auto period = std::chrono::duration<double>(double(terminals) / options.rate);
    const auto spacing = std::chrono::duration<double>(1.0 / options.rate);
    const qint64 perTerminal = static_cast<qint64>(std::ceil(options.rate * options.seconds / terminals));
    const Clock::time_point start = Clock::now() + std::chrono::milliseconds(100);
    const Clock::time_point end = start + std::chrono::seconds(options.seconds);

    std::vector<TerminalRun> runs(static_cast<std::size_t>(terminals));
    std::vector<std::thread> threads;
    for (int i = 0; i < terminals; ++i) {
        threads.emplace_back([&, i] {
            TerminalRun& run = runs[static_cast<std::size_t>(i)];
            run.latenciesMs.reserve(static_cast<std::size_t>(perTerminal));
            HttpClient client("application/x-www-form-urlencoded");
            client.setTimeoutMs(5000);
            for (qint64 k = 0; k < perTerminal; ++k) {
                const auto due =
                    start + std::chrono::duration_cast<Clock::duration>(spacing * i + period * double(k));
                if (due >= end)
                    break;
                std::this_thread::sleep_until(due);
                const Request request = requestFor(options.server, i, k + i);
                client.setContentType(request.contentType);
                const Clock::time_point sentAt = Clock::now();
                ++run.sent;
                try {
                    client.send(HttpClient::Method::Post, request.url, request.body);
                    run.latenciesMs.push_back(
                        std::chrono::duration<double, std::milli>(Clock::now() - sentAt).count());
                } catch (const Failure& failure) {
                    if (run.errors++ == 0)
                        run.firstError = failure.text();
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    LoadResult result;
    result.seconds = std::chrono::duration<double>(std::max(Clock::now(), end) - start).count();
    std::vector<double> all;
    for (const TerminalRun& run : runs) {
        result.sent += run.sent;
        result.errors += run.errors;
        all.insert(all.end(), run.latenciesMs.begin(), run.latenciesMs.end());
        if (result.firstError.isEmpty())
            result.firstError = run.firstError;
    }
    result.answered = qint64(all.size());
    std::sort(all.begin(), all.end());
    result.p50Ms = percentile(all, 0.50);
    result.p99Ms = percentile(all, 0.99);
    result.maxMs = all.empty() ? 0 : all.back();
    return result;
}
