// The frame tick's arithmetic as plain functions: the clock step, the
// generator seed, the pull toward the music, the end of the show and the
// fade-out after Escape. The frame loop applies them; tests run them alone.
#pragma once

#include <cstdint>

// Seconds since the previous reading; a clock that stepped backwards gives 0.
double clock_step(double now, double previous);

// Seed of the shared generator for a frame: the low 32 bits of
// show_time * 1,000,000 truncated toward zero.
std::uint32_t frame_seed(double show_time);

// While show_time <= 240 s, adds a tenth of the gap to the music to the
// step; after that the show clock runs free.
double music_pull(double frame_delta, double show_time, double music_time);

// The length of the show in seconds of show time.
inline constexpr double show_end_time = 251.0;

// The show ends once show_time passes 251 s (251.0 itself does not end it).
bool show_has_ended(double show_time);

struct FadeOut {
    double a;          // clamp(fade_rate * e, 0, 1)
    double fade_level; // 1 - clamp(5 * fade_rate * e, 0, 1)
    int volume;        // integer part of 255 - 255 a
    bool done;         // a > 0.999: copy the captures and end the show
};

// One fade-out step, e = show_time - fade_start.
FadeOut fade_out_step(double show_time, double fade_start, double rate);
