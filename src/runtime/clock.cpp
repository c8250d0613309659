#include "runtime/clock.h"

#include "runtime/show_sources.h"

#include <chrono>

namespace
{
using steady = std::chrono::steady_clock;
steady::time_point base = steady::now();
double elapsed = 0.0;
} // namespace

void clock_reset()
{
    elapsed = 0.0;
    base = steady::now();
}

double clock_read()
{
    const steady::time_point now = steady::now();
    elapsed += std::chrono::duration<double>(now - base).count();
    base = now;
    return elapsed;
}

void SteadyShowClock::reset()
{
    clock_reset();
}

double SteadyShowClock::read()
{
    return clock_read();
}
