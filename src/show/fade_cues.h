// The timed black fades of the main show: two fixed cue lists and the
// overlay alpha they give at a scene time.
//
// An in-cue {time, a, b} lifts the picture from black over 2 / b seconds
// after time - 0.1 (a unused); of the in-cues that have started, the later
// one in the list wins. An out-cue {time, a, b} darkens to black over 1 / a
// seconds from time - 0.1 and holds black for b more seconds; out-cue
// contributions add to the in-cue value, so alpha may exceed 1 (the colour
// clamps). Depends on: runtime/shaping.h. Pure, no GL.
#pragma once

#include <vector>

struct Cue {
    double time, a, b;
};

// Clears and refills both lists with the show's fixed cues, in show order.
void fill_fade_cues(std::vector<Cue> &fade_in_cues, std::vector<Cue> &fade_out_cues);

// The black overlay's alpha at scene time t; the overlay is drawn only when
// it exceeds fade_draw_threshold.
double fade_alpha(double t, const std::vector<Cue> &fade_in_cues, const std::vector<Cue> &fade_out_cues);

inline constexpr double fade_draw_threshold = 0.001;
