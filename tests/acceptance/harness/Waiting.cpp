#include "Waiting.h"

#include <thread>

namespace acceptance {

namespace {

std::function<void()>& Pump()
{
    static std::function<void()> pump;
    return pump;
}

void PumpOnce()
{
    if (Pump())
        Pump()();
}

}  // namespace

void SetWaitPump(std::function<void()> pump) { Pump() = std::move(pump); }

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        PumpOnce();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
}

void Settle(std::chrono::milliseconds time)
{
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
        PumpOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace acceptance
