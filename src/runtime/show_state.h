// The process-wide settings and state of the show (one instance each).
//
// Written by the set-up dialog, the window procedure and the frame loop;
// read by window creation, start-up and the segments. Main thread only:
// window events are handled between ticks, so no locking is needed.
#pragma once

#include <array>
#include <string>

// Fade-out speed per second after Escape; nothing changes it at run time.
inline constexpr double fade_rate = 100002.5;

// Display settings chosen in the set-up dialog.
extern bool fullscreen;
extern bool force_16_9;
extern bool antialias; // cleared again by start-up before anything reads it
extern int window_width, window_height;
extern int render_width, render_height;

// Run state.
extern bool running;                             // cleared while the window is minimised
extern bool quit_requested;                      // set when Escape is first seen
extern double fade_start;                        // show_time at which quit_requested was set
extern std::array<unsigned char, 256> key_state; // by Windows virtual-key code
// Set by an Escape key-down and kept until the message loop has seen it: a
// quick tap whose key-up arrives before the next idle turn still counts.
extern bool escape_pressed;
extern std::string capture_text;
extern double frame_delta;
extern double show_time;
extern double music_time;

// Mouse state the window procedure collects for the next tick.
extern int left_button;
extern int right_button;
extern int wheel_total;

// Windows virtual-key codes the show reads.
namespace vk
{
inline constexpr int escape = 0x1B;
inline constexpr int up = 0x26;
inline constexpr int down = 0x28;
inline constexpr int key_a = 0x41;
inline constexpr int key_q = 0x51;
inline constexpr int f1 = 0x70;
} // namespace vk
