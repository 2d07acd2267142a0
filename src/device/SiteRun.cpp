#include "device/SiteRun.h"

#include "device/CommandEnvelope.h"

#include <algorithm>
#include <thread>

SiteRun::SiteRun(int parallel, Traffic traffic, int timeoutMs)
    : parallel(std::clamp(parallel, 1, kMaxParallel)), traffic(std::move(traffic)), timeoutMs(timeoutMs)
{
}

void SiteRun::run(const std::vector<QString>& addresses, const Job& job)
{
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t index = next++; index < addresses.size() && !cancelled_; index = next++) {
            TerminalClients clients{HttpClient(kFormContentType), HttpClient("text/html"), aborted_};
            for (HttpClient* client : {&clients.client, &clients.clearingClient}) {
                client->setTimeoutMs(timeoutMs);
                client->setTrafficLog(traffic.log);
                client->setTrafficContext(traffic.context + ' ' + addresses[index]);
            }
            {
                std::lock_guard lock(mutex);
                if (aborted_)
                    return;
                live.push_back(&clients);
            }
            job(index, clients);
            std::lock_guard lock(mutex);
            live.erase(std::find(live.begin(), live.end(), &clients));
        }
    };
    std::vector<std::thread> threads;
    const int count = static_cast<int>(std::min<std::size_t>(parallel, addresses.size()));
    for (int i = 1; i < count; ++i)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
}

void SiteRun::abort()
{
    cancelled_ = true;
    std::lock_guard lock(mutex);
    aborted_ = true;
    for (TerminalClients* clients : live) {
        clients->client.cancel();
        clients->clearingClient.cancel();
    }
}
