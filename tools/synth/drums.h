// Drum and effect voices synthesised from oscillators and noise: kick,
// snare, clap, closed and open hats, crash, a sub "boom" for impacts, a
// noise riser and a reversed-cymbal swell. Each call adds one hit into a
// stereo stem at `time`.
//
// Depends on: dsp.h, oscillator.h, filter.h. Every hit starts from 0 and
// ends with a short taper to 0, so none clicks. `seed` varies the noise.
#pragma once

#include "dsp.h"

#include <cstdint>

namespace synth
{

enum class Drum { kick, snare, clap, hat, open_hat, crash, boom };

void render_drum(Drum drum, double time, float velocity, std::uint32_t seed, StereoBuffer &out);

// Band-passed noise sweeping up over `length` seconds, louder as it rises.
void render_riser(double start, double length, float velocity, std::uint32_t seed, StereoBuffer &out);

// A cymbal played backwards: swells over `length` seconds and stops at
// start + length.
void render_swell(double start, double length, float velocity, std::uint32_t seed, StereoBuffer &out);

// Seconds a hit of `drum` lasts.
double drum_length(Drum drum);

} // namespace synth
