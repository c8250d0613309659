// Look-ahead peak limiter for a whole stereo buffer (offline).
//
// Depends on: dsp.h. Both channels share one gain, so the stereo image stays
// put. The gain starts falling `lookahead` seconds before a peak and rises
// again with the `release` time constant; no output sample exceeds
// `ceiling` (linear), by construction.
#pragma once

#include "dsp.h"

namespace synth
{

struct LimiterSettings {
    double ceiling = 0.8;     // linear peak limit
    double lookahead = 0.004; // seconds
    double release = 0.12;    // seconds (time constant)
};

// Limits `buf` in place; returns the smallest gain applied (1 = untouched).
double limit(StereoBuffer &buf, const LimiterSettings &s);

} // namespace synth
