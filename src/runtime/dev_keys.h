// Author mode's keys (vellamor --dev): which key asks for what, and where a
// seek lands. Right / Left move 5 s, Page Down / Page Up 30 s, Home goes back
// to 0, Space pauses and resumes, F1 toggles the overlay, F12 captures the
// frame. Without --dev none of these keys is looked at.
// Depends on: nothing. Pure.
#pragma once

// Seeks never leave the show: the tick ends it once show_time passes 251.
inline constexpr double seek_first = 0.0;
inline constexpr double seek_last = 251.0;

enum class DevCommand {
    none,
    seek, // to DevKey::target
    toggle_pause,
    toggle_overlay,
    capture_frame,
};

struct DevKey {
    DevCommand command = DevCommand::none;
    double target = 0.0; // show time, for seek
};

// `from` moved by `offset` seconds, clamped to seek_first..seek_last. A
// time that is not a number (a clock gone wrong) counts as 0.
double seek_target(double from, double offset);

// What a key-down (Windows virtual-key code) asks for at show time `now`.
DevKey dev_key_command(int virtual_key, double now);
