// The score: every note, drum hit and sweep of the track in seconds, plus
// the master gain automation and the moments where the effects are
// silenced, as the composition writes it and the mixer plays it.
//
// Depends on: instruments.h (Note), drums.h (Drum).
#pragma once

#include "drums.h"
#include "instruments.h"

#include <vector>

namespace synth
{

struct Hit {
    Drum drum;
    double time;
    float velocity;
};

struct Sweep {
    bool rising_noise; // true: riser; false: reversed-cymbal swell
    double start;
    double length;
    float velocity;
};

// Master gain `gain` reached at `time`; between points the gain follows a
// cosine step, so fades start and end without a kink.
struct GainPoint {
    double time;
    double gain;
};

// The delay's echo time `seconds` at `time`; between points it moves
// linearly, before the first and after the last it holds.
struct DelayPoint {
    double time;
    double seconds;
};

// One chord of the harmony as the pad plays it, from `start` to `end`: the
// chart the bass and bells are written against and the analysis checks.
struct ChordSpan {
    double start;
    double end;
    const char *name;
    unsigned pitch_classes; // bit k set: pitch class k sounds (0 = C)
};

struct Score {
    double length = 0.0; // seconds of audio to render
    std::vector<Note> pad, stab, pluck, bell, buzz, bass, lead;
    std::vector<Hit> hits;
    std::vector<Sweep> sweeps;
    std::vector<GainPoint> master;
    std::vector<double> fx_clear_times;  // reverb and delay emptied here
    std::vector<DelayPoint> delay_times; // in time order; empty: a fixed time
    std::vector<ChordSpan> chords;       // in time order
};

// Gain of a master automation at time t (1 before the first point).
double automation_gain(const std::vector<GainPoint> &points, double t);

} // namespace synth
