#include "runtime/dev_keys.h"

#include <algorithm>
#include <cmath>

namespace
{
// Windows virtual-key codes, as the window procedure indexes keys.
constexpr int key_space = 0x20;
constexpr int key_page_up = 0x21;
constexpr int key_page_down = 0x22;
constexpr int key_home = 0x24;
constexpr int key_left = 0x25;
constexpr int key_right = 0x27;
constexpr int key_f1 = 0x70;
constexpr int key_f12 = 0x7B;

constexpr double short_step = 5.0;
constexpr double long_step = 30.0;
} // namespace

double seek_target(double from, double offset)
{
    const double t = from + offset;
    if (std::isnan(t))
        return seek_first;
    return std::clamp(t, seek_first, seek_last);
}

DevKey dev_key_command(int virtual_key, double now)
{
    switch (virtual_key) {
    case key_right:
        return {DevCommand::seek, seek_target(now, short_step)};
    case key_left:
        return {DevCommand::seek, seek_target(now, -short_step)};
    case key_page_down:
        return {DevCommand::seek, seek_target(now, long_step)};
    case key_page_up:
        return {DevCommand::seek, seek_target(now, -long_step)};
    case key_home:
        return {DevCommand::seek, seek_first};
    case key_space:
        return {DevCommand::toggle_pause, 0.0};
    case key_f1:
        return {DevCommand::toggle_overlay, 0.0};
    case key_f12:
        return {DevCommand::capture_frame, 0.0};
    default:
        return {};
    }
}
