// The show's high-resolution clock: elapsed seconds, advanced on every read.
// Depends on: std::chrono::steady_clock (monotonic on every platform).
#pragma once

// elapsed = 0; base = now.
void clock_reset();

// elapsed += now - base; base = now; returns elapsed. Every read advances
// the clock: there is no read without update.
double clock_read();
