#pragma once
// Timing for the benchmarks: the best of a few rounds, so a passing
// disturbance on a shared machine does not count.
#include <algorithm>
#include <chrono>
#include <functional>

// Seconds of the fastest round, or -1 when a round reports failure.
inline double BestOfRounds(int rounds, const std::function<bool()>& run)
{
    using Clock = std::chrono::steady_clock;
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        if (!run())
            return -1.0;
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

// The same, with a step before each round that is not timed.
inline double BestOfPreparedRounds(int rounds, const std::function<void()>& prepare, const std::function<bool()>& run)
{
    using Clock = std::chrono::steady_clock;
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        prepare();
        const auto start = Clock::now();
        if (!run())
            return -1.0;
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}
