// Listening by numbers: what the rendered track does, measured from its
// samples the way one would check a master. Pitch-class content (chroma)
// and chord fit, the pulse's tempo from the onsets, band levels, and bars
// whose spectra repeat far apart.
//
// Depends on: dsp.h, kissfft. Input is one channel (a mono fold-down) at
// the synthesiser's rate.
#pragma once

#include "dsp.h"

#include <array>
#include <span>
#include <vector>

namespace synth
{

// Power spectra of overlapping Hann-windowed frames.
struct Spectrogram {
    int fft_size = 0;
    int hop = 0;
    std::vector<std::vector<float>> power; // [frame][bin], bins 0..fft_size / 2

    double frame_centre(std::size_t frame) const;
    double bin_hz(std::size_t bin) const { return bin * sample_rate / fft_size; }
};

Spectrogram spectrogram(std::span<const float> mono, int fft_size, int hop);

// Energy of each pitch class (0 = C) between two frequencies, summed over
// the frames centred in [t0, t1).
std::array<double, 12> chroma(const Spectrogram &s, double t0, double t1, double lo_hz = 50.0,
                              double hi_hz = 5000.0);

// Cosine similarity of a chroma, less its median class (the noise floor),
// with a chord's pitch classes (bit k = class k), in [0, 1].
double chord_fit(const std::array<double, 12> &chroma, unsigned pitch_classes);

// Mean level in dB of each semitone band from MIDI 36 (65 Hz) to 120
// (8.4 kHz) over the frames centred in [t0, t1).
std::vector<double> semitone_levels_db(const Spectrogram &s, double t0, double t1);

// Mean power level in dB between two frequencies over [t0, t1).
double band_level_db(const Spectrogram &s, double t0, double t1, double lo_hz, double hi_hz);

// Onset strength: positive growth of the log spectrum from frame to frame,
// less its local mean, so that the pulse stands out.
struct Onsets {
    double hop_s = 0.0;
    double offset_s = 0.0; // strength[n] is the onset at offset_s + n * hop_s
    std::vector<float> strength;
};

Onsets onsets(std::span<const float> mono);

struct Tempo {
    double bpm = 0.0;     // 0: no clear pulse in the window
    double clarity = 0.0; // normalised autocorrelation at the beat, 0..1
};

// The beat in [lo_bpm, hi_bpm] that best explains the onsets in [t0, t1):
// the autocorrelation peak at one beat, refined at two and four beats when
// the window holds enough of them.
Tempo estimate_tempo(const Onsets &o, double t0, double t1, double lo_bpm = 80.0, double hi_bpm = 110.0);

// Lengths of the `count` beats next to the downbeat at `t`, nearest
// first: before it (direction -1) or after it (+1). Each beat is the
// strongest onset within 8 % of `guess_s` from where the beat before
// predicts it; empty when the onsets run out or their mean strength stays
// under `min_strength` (no clear beat to follow).
std::vector<double> beat_lengths(const Onsets &o, double t, double guess_s, int count, int direction,
                                 double min_strength = 0.0);

// The beat length at the downbeat itself: a straight line through the
// beat lengths next to it (nearest first), read at the downbeat.
double beat_at_downbeat(const std::vector<double> &lengths);

// Time of the strongest onset within `radius` of `t`, and how many times
// stronger it is than the strongest one more than 0.25 s away from it.
struct Onset {
    double time = 0.0; // 0: none within reach
    double margin = 0.0;
    double strength = 0.0;
};
Onset strongest_onset(const Onsets &o, double t, double radius);

// Mean absolute difference of two level vectors, in dB.
double level_distance_db(const std::vector<double> &a, const std::vector<double> &b);

// How many of the items have a near twin: another item at least
// `min_apart_s` away in time whose levels are within `max_db`.
int count_near_twins(const std::vector<std::vector<double>> &levels, const std::vector<double> &times,
                     double max_db, double min_apart_s);

} // namespace synth
