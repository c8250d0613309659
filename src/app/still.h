// Offline rendering of the show: the show's own start-up without the
// dialog, the loading screen or a sound device (a stepped clock and the
// soundtrack decoded offline instead), then frames drawn at chosen scene
// times and read back. Used by the still renderer (--still), the GL tests,
// the frame bench and the contact sheet. Works without a display.
//
// A frame drawn at scene time T is the frame the running show draws at T:
// the show jumps to the show time at which the scene clock reads T (the
// height map brought to what the show would have left in it) and the
// frame loop runs one tick with a step of 0, so the spectrum comes from the
// soundtrack at the matching music time.
// Depends on: app/show_spine.h, shell/window.h, show/ (part_start and its
// passes), libpng. Main thread only; one session at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class part_start;
class RenderTargets;
class SteppedClock;
class TrackMusic;

class OfflineShow
{
  public:
    OfflineShow(part_start &show, RenderTargets &ctx, SteppedClock &clock, TrackMusic &music, int width,
                int height);

    // Draws one frame of the show at scene time t into the window's back
    // buffer (not presented): the jump, then one tick of the frame loop.
    void draw_at(double scene_time);

    // Everything before the director's passes, as the tick would leave it:
    // the height map brought up to date, the clocks, the spectrum, the
    // shared generator, and the segment's private frame record, so the
    // passes can be run one by one.
    void prepare(double scene_time);

    // The back buffer as RGB rows, top row first (width * height * 3).
    std::vector<std::uint8_t> read_frame() const;
    // The height map (texture 101) as RGBA rows, bottom row first.
    std::vector<std::uint8_t> read_height_map() const;

    part_start &show;
    RenderTargets &ctx;
    SteppedClock &clock;
    TrackMusic &music;
    int width, height;
    bool spectrum_from_music = false; // false: the soundtrack was missing
};

// Opens a width x height window, runs the show's set-up, calls `body` and
// closes the window (also when they throw). False when the window could
// not be opened. A picture that cannot be read does not end the process
// here: the files that did not load are in ctx.load_failures for `body`.
bool run_offline_show(int width, int height, const std::function<void(OfflineShow &)> &body);

// FILE.png for a single time; FILE-T.png (T as given, e.g. "FILE-41.5.png")
// when several times are drawn in one run.
std::string still_file_name(const std::string &out, const std::string &time_text, bool several);

// The --still run: every time in `times` (as typed) into its file. Returns
// the process exit code: 0 when every file was written; 1 when a file of
// the show did not load (each named on standard error; nothing written),
// a still could not be written or the memory ran out; 128 + the signal's
// number when SIGINT or SIGTERM stopped it between stills.
int run_stills(const std::vector<std::string> &times, int width, int height, const std::string &out);
