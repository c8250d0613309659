#include "show/scene_clock.h"

#include "runtime/shaping.h"
#include "show/resources.h"

#include <cmath>
#include <limits>

namespace
{

double warp_lead(double unwarped_scene_time)
{
    return 1.0 - ease((unwarped_scene_time - 169.0) * 0.15, 1.0);
}

// Truncates toward zero and keeps the low byte; values outside the range
// of a 64-bit integer (and NaN) give 0 rather than undefined behaviour.
std::uint8_t low_byte(double v)
{
    if (!(std::fabs(v) < 9.0e18))
        return 0;
    const auto n = static_cast<long long>(v);
    return static_cast<std::uint8_t>(static_cast<unsigned long long>(n) & 0xffu);
}

} // namespace

void advance_scene_clock(SceneClock &clock, double step)
{
    clock.scene_time += step;
    clock.raw_time += step;
    const double lead = warp_lead(clock.scene_time);
    clock.scene_time = lead * 0.18 + clock.raw_time * 95.0 / 100.0;
}

SceneClock clock_for_scene_time(double t)
{
    // With a step of 0 the warp reads the stored scene time itself, so
    // storing t there and solving the warp for raw_time gives t back.
    SceneClock clock;
    clock.scene_time = t;
    clock.raw_time = (t - warp_lead(t) * 0.18) * 100.0 / 95.0;
    return clock;
}

SceneClock clock_for_raw_time(double raw)
{
    // scene = lead(scene) * 0.18 + raw * 0.95 has exactly one solution, in
    // [0.95 raw, 0.95 raw + 0.18]: scene - 0.18 lead(scene) only grows.
    double low = raw * 0.95, high = low + 0.18;
    for (int i = 0; i < 100 && low < high; ++i) {
        const double mid = 0.5 * (low + high);
        if (mid <= low || mid >= high)
            break;
        if (mid - warp_lead(mid) * 0.18 < raw * 0.95)
            low = mid;
        else
            high = mid;
    }
    SceneClock clock;
    clock.raw_time = raw;
    clock.scene_time = warp_lead(high) * 0.18 + raw * 0.95;
    return clock;
}

ProgramSlot billboard_program_for(double scene_time)
{
    ProgramSlot slot = program::billboards;
    if (scene_time > 160.8)
        slot = program::billboards_insect;
    if (scene_time > 185.0)
        slot = program::billboards_leaves;
    return slot;
}

std::array<std::uint8_t, 512 * 3> spectrum_texels(const std::array<float, 512> &spectrum)
{
    std::array<std::uint8_t, 512 * 3> texels{};
    for (std::size_t i = 0; i < spectrum.size(); ++i) {
        const float v = spectrum[i]; // float arithmetic, as the texels always were
        texels[i * 3 + 0] = low_byte(v * 255.0f);
        texels[i * 3 + 1] = low_byte(v * 255.0f);
        texels[i * 3 + 2] = low_byte(v * 250.0f);
    }
    return texels;
}
