// Loudness and peak measurement of a stereo programme: integrated loudness
// in LUFS (K-weighting, 400 ms blocks with 75 % overlap, absolute gate at
// -70 LUFS, relative gate 10 LU below the ungated level), sample peak and an
// estimate of the true (inter-sample) peak by 4x oversampling.
//
// Depends on: dsp.h. Works at any sample rate given; the show's is 44100.
#pragma once

#include "dsp.h"

#include <span>

namespace synth
{

// Integrated loudness in LUFS; -inf (as -200) for silence.
double integrated_loudness(std::span<const float> left, std::span<const float> right,
                           double rate = sample_rate);

// Mean square of each 400 ms block after K-weighting, summed over channels
// (the quantity the gates work on), one value per 100 ms step.
std::vector<double> loudness_blocks(std::span<const float> left, std::span<const float> right,
                                    double rate = sample_rate);

// Largest |sample| in dBFS.
double sample_peak_db(std::span<const float> left, std::span<const float> right);

// Largest |value| of the signal interpolated at 4x, in dBFS.
double true_peak_db(std::span<const float> left, std::span<const float> right);

} // namespace synth
