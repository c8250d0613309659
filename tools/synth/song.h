// "Vellamor", the show's soundtrack, as a score: A minor, about 90 beats a
// minute; every section starts on a downbeat at the music time where the
// picture cuts, so each section's tempo is fitted to its length.
//
// Depends on: score.h.
#pragma once

#include "score.h"

namespace synth
{

// One section of the arrangement: its time span, bar count and name.
// Sections of one "bar" are free-time: a hit, a held chord, a fade.
struct SongSection {
    double start;
    double end;
    int bars;
    const char *name;
};

// The sections in order, covering 0 s to the end of the final fade.
const std::vector<SongSection> &song_sections();

// Music times where the arrangement cuts (new section with an accent).
const std::vector<double> &song_cuts();

Score compose_song();

} // namespace synth
