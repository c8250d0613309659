// The text of author mode's overlay (F1): what the show is doing at this
// moment, as lines the overlay prints unchanged. The drawing (Dear ImGui,
// with the spectrum as bars) lives in the shell; everything it says is
// decided here, from plain values.
// Depends on: show/camera_script.h, show/fade_cues.h, the PassTime record
// of render/pass_timer.h. Pure, no GL.
#pragma once

#include "render/pass_timer.h"
#include "show/fade_cues.h"

#include <optional>
#include <string>
#include <vector>

struct OverlayValues {
    double show_time = 0.0;
    double scene_time = 0.0;
    double frames_per_second = 0.0;
    bool paused = false;
    std::vector<PassTime> passes;
    bool passes_on_gpu = false; // GL timer queries; else CPU time around each pass
    std::string last_shader_error;
};

// The cue behind the black overlay at scene time t: the last out-cue still
// darkening or holding black, else the last in-cue still rising (its rise
// lasts 2 / b seconds from time - 0.1). Nothing once every fade is done.
struct RunningCue {
    bool fading_out = false;
    Cue cue{};
    double progress = 0.0; // 0..1 through the fade (the hold counts as 1)
};
std::optional<RunningCue> running_fade_cue(double t, const std::vector<Cue> &fade_in_cues,
                                           const std::vector<Cue> &fade_out_cues);

// The overlay's lines, top to bottom: times (and PAUSED), frame rate,
// camera row, fade cue, one line per pass, then the last shader error
// (its first line only; the overlay shows the whole log beneath).
std::vector<std::string> overlay_lines(const OverlayValues &v);
