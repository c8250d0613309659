// "Vellamor", the show's soundtrack, as a score: A minor, about 90 beats a
// minute; every section starts on a downbeat at the music time where the
// picture cuts, so each section's tempo is fitted to its length. Where the
// groove carries on into the next section, the beat glides to the next
// section's tempo over the last bars instead of jumping at the cut.
//
// Depends on: score.h.
#pragma once

#include "score.h"

namespace synth
{

// One section of the arrangement: its time span, bar count and name.
// Sections of one "bar" are free-time: a hit, a held chord, a fade.
// `flows`: the beat reaches the next section's tempo (across a free-time
// section between them) by the cut.
struct SongSection {
    double start;
    double end;
    int bars;
    const char *name;
    bool flows = false;
};

// The sections in order, covering 0 s to the end of the final fade.
const std::vector<SongSection> &song_sections();

// Where the beats of a section fall. The beat length glides linearly (per
// beat) from `in_beat` over the first `in_beats` beats to a steady beat,
// and from it over the last `out_beats` beats to `out_beat`; the steady
// beat is whatever makes beat bars * 4 land exactly on `end`.
struct TempoMap {
    double start = 0.0;
    double end = 0.0;
    int bars = 1;
    double in_beats = 0.0;
    double in_beat = 0.0; // seconds per beat at `start` (with in_beats > 0)
    double out_beats = 0.0;
    double out_beat = 0.0; // seconds per beat at `end` (with out_beats > 0)

    double beats() const { return bars * 4.0; }
    double steady_beat() const;
    double beat_length(double beat) const; // seconds per beat at `beat`
    double time(double beat) const;        // music time of `beat`
};

// The tempo map of song_sections()[index]. Where one section flows into
// the next, both meet at the mean of their fitted tempos at the cut,
// each gliding there over two bars (one in sections of two or three).
TempoMap section_tempo(std::size_t index);

// Music times where the arrangement cuts (new section with an accent).
const std::vector<double> &song_cuts();

Score compose_song();

} // namespace synth
