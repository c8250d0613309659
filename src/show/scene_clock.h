// The scene clock of the main show: scene_time runs at 95 % of frame time,
// 0.18 s ahead, and the lead melts away between scene times 169 and about
// 175.7. Also the billboard-program choice and the spectrum texels, which
// are plain functions of the clock and of the frame's spectrum.
// Depends on: runtime/shaping.h, show/resources.h. Pure, no GL.
#pragma once

#include "render/resource_numbers.h"

#include <array>
#include <cstdint>

struct SceneClock {
    double scene_time = 0.0;
    double raw_time = 0.0;
};

// One frame's advance by `step` seconds (the step may be 0: nothing moves
// then except the warp being re-applied to an unchanged raw time).
void advance_scene_clock(SceneClock &clock, double step);

// The clock that a draw with a step of 0 turns into exactly scene time t:
// used to seek and to draw stills. raw_time is also the music time that
// belongs to t.
SceneClock clock_for_scene_time(double t);

// The clock a running show has at raw (show) time `raw`: the scene time
// that a draw with a step of 0 keeps unchanged there. The inverse of
// clock_for_scene_time; used to start the show part-way (exports, seeks).
SceneClock clock_for_raw_time(double raw);

// Slot 21 up to 160.8 (inclusive), 23 above 160.8, 25 above 185.
ProgramSlot billboard_program_for(double scene_time);

// 512 RGB texels: (int(v*255), int(v*255), int(v*250)), each truncated and
// kept as its low byte, so a value of 1.0 or more wraps (as the show has
// always looked) and a negative one wraps too, without undefined behaviour.
std::array<std::uint8_t, 512 * 3> spectrum_texels(const std::array<float, 512> &spectrum);
