// The display-mode list offered by the set-up dialog, and the window and
// render sizes that follow from the viewer's choice.
//
// Pure functions over plain values (tested without a display); the SDL
// enumeration is fill_mode_list in display_modes_sdl.cpp.
// Limits: modes are {width, height} only; bit depth and refresh rate play
// no part.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct DisplayMode {
    int width = 0, height = 0;
    bool operator==(const DisplayMode &) const = default;
};

// Filled once at program start, in order of first appearance.
extern std::vector<DisplayMode> mode_list;

// Landscape, ratio at most 1.8 either way, both sides at most 2047.
bool mode_is_offered(DisplayMode m);

// Appends `m` when it passes the filter and is not in the list yet.
void offer_mode(std::vector<DisplayMode> &list, DisplayMode m);

// An empty list still offers one mode: the desktop's own, or 1280 x 720
// when even that is unknown, so "Run ... " always has a mode to use.
void ensure_a_mode(std::vector<DisplayMode> &list, std::optional<DisplayMode> desktop);

// " 1920 x 1080  (16:9)", " 1680 x 1050  (16:10)", " 1280 x 1024       ".
std::string mode_label(DisplayMode m);

// 1280 x 720 if listed, else 1024 x 768 if listed, else the first (0);
// -1 for an empty list.
int default_mode_index(const std::vector<DisplayMode> &list);

// What the viewer chose: a mode and the three check boxes.
struct DisplayChoice {
    DisplayMode mode;
    bool antialiased = true;
    bool windowed = false;
    bool force_16_9 = true;
};

struct DisplaySettings {
    bool fullscreen = false;
    bool force_16_9 = false;
    bool antialias = false;
    int window_width = 0, window_height = 0;
    int render_width = 0, render_height = 0;
};

// Force 16:9 gives the render targets height w / (16/9), rounded to single
// precision and truncated (1366 gives 768); a window takes the same shape,
// a full-screen display keeps the chosen mode and letterboxes.
DisplaySettings settings_for_choice(const DisplayChoice &choice);

// Writes the settings into the process-wide display settings.
void apply_display_settings(const DisplaySettings &s);

// Enumerates the primary display's modes through SDL into mode_list.
void fill_mode_list();
