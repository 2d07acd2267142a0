#pragma once

#include <atomic>
#include <cstdint>

// Bytes that requests being received and handled may hold at once, shared by
// every connection of a server. Taking never blocks: a request that finds no
// room asks again later.
class MemoryBudget
{
public:
    explicit MemoryBudget(std::int64_t totalBytes) : total(totalBytes) {}

    // Takes the bytes when they fit beside what is taken already.
    bool tryTake(std::int64_t bytes);
    void give(std::int64_t bytes) { taken.fetch_sub(bytes, std::memory_order_acq_rel); }
    std::int64_t inUse() const { return taken.load(std::memory_order_acquire); }

private:
    const std::int64_t total;
    std::atomic<std::int64_t> taken{0};
};
