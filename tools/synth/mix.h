// Mixing and mastering: renders every part of a score into stems, sends
// them through the shared delay and reverb, ducks the sustained parts under
// the kick, applies the master automation, removes DC, then sets the level
// to a loudness target under a peak ceiling.
//
// Depends on: score.h, delay.h, reverb.h, limiter.h, loudness.h. Two
// threads render the parts and their sums meet in a fixed order, so the
// same score always gives the same samples.
#pragma once

#include "score.h"

namespace synth
{

// The mix before mastering (automation and DC removal included).
StereoBuffer mix_score(const Score &score);

struct MasterSettings {
    double target_lufs = -14.0;
    double ceiling_db = -2.0; // sample-peak ceiling: MP3 encoding adds up to ~0.7 dB
    int passes = 4;           // most gain corrections toward the target
};

struct MasterReport {
    double gain_db = 0.0;
    double lufs = 0.0;
    double sample_peak_db = 0.0;
    double smallest_limiter_gain_db = 0.0;
};

// Scales and limits `mix` in place so that its integrated loudness meets
// the target; returns what it measured last.
MasterReport master(StereoBuffer &mix, const MasterSettings &settings);

} // namespace synth
