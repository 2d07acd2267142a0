#include "server/MemoryBudget.h"

bool MemoryBudget::tryTake(std::int64_t bytes)
{
    std::int64_t current = taken.load(std::memory_order_acquire);
    do {
        if (current + bytes > total)
            return false;
    } while (!taken.compare_exchange_weak(current, current + bytes, std::memory_order_acq_rel));
    return true;
}
