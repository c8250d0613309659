// Pitched voices of the soundtrack. Each call renders one note, from its
// start through its release, added into a stereo stem at the note's time.
//
// Depends on: dsp.h, oscillator.h, envelope.h, filter.h. Every voice ends
// on an envelope that reaches exactly 0, so notes never click; the stem
// must be long enough (samples past its end are dropped).
#pragma once

#include "dsp.h"
#include "envelope.h"

#include <cstdint>
#include <vector>

namespace synth
{

struct Note {
    double time = 0.0;     // seconds
    double length = 0.25;  // seconds from note-on to note-off
    double pitch = 60.0;   // MIDI note number (fractions allowed)
    float velocity = 1.0f; // linear gain
    float bright = 0.5f;   // 0..1: filter opening / modulation depth
    float pan = 0.0f;      // -1..1
};

// Detuned saws through a low-pass: pads and stabs.
struct EnsemblePatch {
    std::vector<double> detune_cents{-11.0, -4.0, 5.0, 12.0};
    AdsrSettings envelope{1.2, 1.0, 0.8, 1.8, 1.0};
    double cutoff_hz = 700.0;         // at bright = 0
    double cutoff_bright_hz = 2600.0; // added at bright = 1
    double cutoff_env_hz = 0.0;       // added by the envelope
    double q = 0.8;
    double sub_level = 0.0; // sine an octave down (0: none)
    double level = 0.18;
};

// Two-operator FM: plucks, bells, buzzes.
struct FmPatch {
    double ratio = 2.0;        // modulator / carrier frequency
    double index = 2.0;        // modulation index at the start, at bright = 1
    double index_floor = 0.2;  // where the index settles
    double index_decay = 0.25; // seconds (time constant)
    double detune_cents = 4.0; // left/right carrier spread
    AdsrSettings envelope{0.002, 0.4, 0.0, 0.15, 3.0};
    double vibrato_hz = 0.0;
    double vibrato_cents = 0.0;
    double level = 0.3;
};

EnsemblePatch pad_patch();
EnsemblePatch stab_patch();
FmPatch pluck_patch();
FmPatch bell_patch();
FmPatch buzz_patch();

void render_ensemble(const Note &note, const EnsemblePatch &patch, std::uint32_t seed, StereoBuffer &out);
void render_fm(const Note &note, const FmPatch &patch, StereoBuffer &out);

// Warm mono bass: saw and sine under an enveloped low-pass.
void render_bass(const Note &note, StereoBuffer &out);

// Lead: two detuned saws and a square, soft low-pass, delayed vibrato.
void render_lead(const Note &note, StereoBuffer &out);

// Samples a note occupies from its start through its release.
std::size_t note_span(const Note &note, const AdsrSettings &env);

} // namespace synth
