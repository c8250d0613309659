// Offline rendering of the show: start-up without the dialog, the loading
// screen or sound, then frames drawn at chosen scene times and read back.
// Used by the still renderer (--still), the GL tests and the frame bench.
//
// A frame drawn at scene time T is the frame the running show draws at T:
// the clock is set so that a draw with a step of 0 lands exactly on T, the
// spectrum comes from the soundtrack at the matching music time, and where
// T lies in a window in which the top view keeps an older height map, the
// map is first brought to what the show would have left in it.
// Depends on: app/ start-up pieces, shell/window.h, show/ (part_start and
// its passes), libpng. Main thread only; one session at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class part_start;
class RenderTargets;
class StillSpectrum;

class OfflineShow
{
  public:
    OfflineShow(part_start &show, RenderTargets &ctx, StillSpectrum &spectrum, int width, int height);

    // Draws one frame of the show at scene time t into the window's back
    // buffer (not presented): prepare, then the director's draw with a step
    // of 0.
    void draw_at(double scene_time);

    // Everything before the draw: the height map brought up to date, the
    // clocks, the spectrum, the shared generator, and the segment's private
    // frame record, so the director's passes can also be run one by one.
    void prepare(double scene_time);

    // The back buffer as RGB rows, top row first (width * height * 3).
    std::vector<std::uint8_t> read_frame() const;
    // The height map (texture 101) as RGBA rows, bottom row first.
    std::vector<std::uint8_t> read_height_map() const;

    part_start &show;
    RenderTargets &ctx;
    StillSpectrum &spectrum;
    int width, height;
    bool spectrum_from_music = false; // false: the soundtrack was missing
};

// Opens a width x height window, runs the show's set-up, calls `body` and
// closes the window. False when the window could not be opened.
bool run_offline_show(int width, int height, const std::function<void(OfflineShow &)> &body);

// RGB rows, top row first. False (with errno-style text in `error`) when
// the file cannot be written.
bool write_png(const std::string &path, int width, int height, const std::vector<std::uint8_t> &rgb,
               std::string &error);

// FILE.png for a single time; FILE-T.png (T as given, e.g. "FILE-41.5.png")
// when several times are drawn in one run.
std::string still_file_name(const std::string &out, const std::string &time_text, bool several);

// The --still run: every time in `times` (as typed) into its file. Returns
// the process exit code: 0 when every file was written.
int run_stills(const std::vector<std::string> &times, int width, int height, const std::string &out);
