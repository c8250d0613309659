// The set-up dialog: a small modal window in which the viewer picks a
// display mode (from mode_list) and three options, then "Run ... " or
// "Quit". It works without a mouse: arrows move through the list and the
// check boxes, Space toggles a box or opens the list, Enter acts as
// "Run ... ", Escape and closing the dialog as "Quit". While the resolution
// list is open, Escape closes it and Enter takes the highlighted mode.
//
// Depends on: SDL2 video, Dear ImGui (SDL2 + OpenGL2 backends), GL.
// The dialog's state and its outcome are plain values, tested alone.
#pragma once

#include "shell/display_modes.h"

#include <vector>

inline constexpr const char *setup_dialog_caption = "      Vellamor by ZVX - 2011 ";

struct DialogState {
    int selection = -1; // index into the mode list
    bool antialiased = true;
    bool windowed = false;
    bool force_16_9 = true;
};

// "Antialiased" and "Force 16:9" checked, the default mode selected.
DialogState initial_dialog_state(const std::vector<DisplayMode> &modes);

// What "Run ... " makes of the state; an out-of-range selection takes the
// default mode (an empty list has none: 1280 x 720).
DisplayChoice choice_from_dialog(const DialogState &state, const std::vector<DisplayMode> &modes);

// What Escape or Enter does: with the resolution list open, it belongs to
// the list (never quits or runs); otherwise Escape quits, Enter runs.
enum class DialogKey { escape, enter };
enum class KeyEffect { quit, run, list };
KeyEffect dialog_key_effect(DialogKey key, bool list_open);

// Shows the dialog over mode_list and applies the choice to the display
// settings. "Quit" ends the process with code 0. Without a display the
// defaults are taken (and said so on standard error).
void run_setup_dialog();
