#include "platform/Clock.h"

#include <atomic>

namespace {
std::atomic<bool> g_hasFixedTime{false};
std::atomic<time_t> g_fixedTime{0};
} // namespace

time_t CurrentTime()
{
    if (g_hasFixedTime.load(std::memory_order_relaxed))
        return g_fixedTime.load(std::memory_order_relaxed);
    return std::time(nullptr);
}

void SetCurrentTimeForTesting(time_t fixedTime)
{
    g_fixedTime.store(fixedTime, std::memory_order_relaxed);
    g_hasFixedTime.store(true, std::memory_order_relaxed);
}

void ClearCurrentTimeForTesting()
{
    g_hasFixedTime.store(false, std::memory_order_relaxed);
}
