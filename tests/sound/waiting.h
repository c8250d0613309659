// Waiting in the sound tests: on conditions with generous deadlines, never
// on fixed wall-clock windows. A loaded machine (the sanitizer pass runs the
// tests in parallel) may starve SDL's audio thread for a while; that makes a
// test slower, never wrong.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

inline void wait_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Polls `done` until it holds (true) or the deadline passes (false).
inline bool eventually(const std::function<bool()> &done,
                       std::chrono::seconds limit = std::chrono::seconds(30))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        wait_ms(2);
    }
    return true;
}
