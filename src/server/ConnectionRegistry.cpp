#include "server/ConnectionRegistry.h"

#include <vector>

bool ConnectionRegistry::add(const std::weak_ptr<ClosableConnection>& connection, Entry& entry)
{
    std::shared_ptr<ClosableConnection> evicted;
    {
        std::lock_guard lock(mutex);
        if (static_cast<int>(idle.size() + busy.size()) >= maxConnections) {
            evicted = takeLongestIdle();
            if (!evicted)
                return false;
        }
        entry = idle.insert(idle.end(), Member{connection});
    }
    // Outside the lock: the last owner's release may destroy it, which removes it.
    if (evicted) {
        static const CloseReason reason = CloseReason::Evicted;
        evicted->closeFor(&reason);
    }
    return true;
}

void ConnectionRegistry::remove(Entry entry)
{
    std::lock_guard lock(mutex);
    (entry->busy ? busy : idle).erase(entry);
    if (idle.empty() && busy.empty())
        empty.notify_all();
}

void ConnectionRegistry::touch(Entry entry)
{
    std::lock_guard lock(mutex);
    if (!entry->busy)
        idle.splice(idle.end(), idle, entry);
}

void ConnectionRegistry::setBusy(Entry entry)
{
    std::lock_guard lock(mutex);
    if (entry->busy)
        return;
    entry->busy = true;
    busy.splice(busy.end(), idle, entry);
}

bool ConnectionRegistry::evictLongestIdle()
{
    std::shared_ptr<ClosableConnection> evicted;
    {
        std::lock_guard lock(mutex);
        evicted = takeLongestIdle();
    }
    if (!evicted)
        return false;
    static const CloseReason reason = CloseReason::Evicted;
    evicted->closeFor(&reason);
    return true;
}

std::shared_ptr<ClosableConnection> ConnectionRegistry::takeLongestIdle()
{
    // One being destroyed cannot be locked: it is closing anyway.
    while (!idle.empty()) {
        std::shared_ptr<ClosableConnection> oldest = idle.front().connection.lock();
        idle.front().busy = true;
        busy.splice(busy.end(), idle, idle.begin());
        if (oldest)
            return oldest;
    }
    return nullptr;
}

void ConnectionRegistry::closeAll()
{
    std::vector<std::shared_ptr<ClosableConnection>> open;
    {
        std::lock_guard lock(mutex);
        for (const auto* list : {&idle, &busy})
            for (const Member& member : *list)
                if (auto locked = member.connection.lock())
                    open.push_back(std::move(locked));
    }
    for (const auto& connection : open)
        connection->closeFor(nullptr);
}

void ConnectionRegistry::waitUntilEmpty()
{
    std::unique_lock lock(mutex);
    empty.wait(lock, [this] { return idle.empty() && busy.empty(); });
}
