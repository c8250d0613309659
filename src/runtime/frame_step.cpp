#include "runtime/frame_step.h"

#include <algorithm>

double clock_step(double now, double previous)
{
    const double d = now - previous;
    return d < 0.0 ? 0.0 : d;
}

std::uint32_t frame_seed(double show_time)
{
    // Truncate toward zero first, then keep the low 32 bits (two's complement
    // for a negative clock, which the show never has).
    const auto whole = static_cast<std::int64_t>(show_time * 1000000.0);
    return static_cast<std::uint32_t>(whole);
}

double music_pull(double frame_delta, double show_time, double music_time)
{
    if (show_time <= 240.0)
        return frame_delta + 0.1 * (music_time - show_time);
    return frame_delta;
}

bool show_has_ended(double show_time)
{
    return show_time > show_end_time;
}

FadeOut fade_out_step(double show_time, double fade_start, double rate)
{
    const double e = show_time - fade_start;
    FadeOut f{};
    f.a = std::clamp(rate * e, 0.0, 1.0);
    f.fade_level = 1.0 - std::clamp(5.0 * rate * e, 0.0, 1.0);
    f.volume = static_cast<int>(255.0 - 255.0 * f.a);
    f.done = f.a > 0.999;
    return f;
}
