// The measuring side: chord fit of pitch content, the pulse's tempo and
// the beat at a downbeat from onsets, band levels, and near twins, on
// signals whose answers are known.
#include "analysis.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace synth;

namespace
{

// Sines at the given MIDI notes, `seconds` long.
std::vector<float> chord_tones(std::initializer_list<int> notes, double seconds)
{
    std::vector<float> x(to_samples(seconds), 0.0f);
    for (int note : notes)
        for (std::size_t i = 0; i < x.size(); ++i)
            x[i] += 0.2f * static_cast<float>(std::sin(two_pi * midi_to_hz(note) * i / sample_rate));
    return x;
}

// Short noise bursts on beats whose length goes linearly from `from_s` to
// `to_s` over `beats` beats, starting at 0.5 s; returns the beat times.
std::vector<double> clicks(std::vector<float> &x, double from_s, double to_s, int beats)
{
    std::vector<double> times;
    Noise noise(7);
    double t = 0.5;
    for (int k = 0; k <= beats; ++k) {
        times.push_back(t);
        const std::size_t at = to_samples(t);
        for (std::size_t i = 0; i < to_samples(0.02) && at + i < x.size(); ++i)
            x[at + i] += 0.5f * noise.next() * static_cast<float>(std::exp(-double(i) / 200.0));
        t += from_s + (to_s - from_s) * k / beats;
    }
    return times;
}

unsigned mask(std::initializer_list<int> pitch_classes)
{
    unsigned m = 0;
    for (int pc : pitch_classes)
        m |= 1u << pc;
    return m;
}

} // namespace

TEST(Analysis, chroma_fits_the_chord_that_sounds)
{
    // A minor (A C E) with the bass a octave below.
    const auto x = chord_tones({45, 57, 60, 64}, 3.0);
    const Spectrogram s = spectrogram(x, 16384, 4096);
    const auto c = chroma(s, 0.0, 3.0);
    const auto strongest = std::max_element(c.begin(), c.end()) - c.begin();
    EXPECT_EQ(strongest, 9); // A
    const double am = chord_fit(c, mask({9, 0, 4})), f = chord_fit(c, mask({5, 9, 0})),
                 g = chord_fit(c, mask({7, 11, 2}));
    EXPECT_GT(am, 0.9);
    EXPECT_GT(am, f + 0.2);
    EXPECT_LT(g, 0.2);
    // Only below 250 Hz: the bass alone.
    const auto low = chroma(s, 0.0, 3.0, 40.0, 250.0);
    EXPECT_EQ(std::max_element(low.begin(), low.end()) - low.begin(), 9);
    EXPECT_EQ(chord_fit(std::array<double, 12>{}, mask({9})), 0.0);

    // E major under noise spread over every class (a riser, a roll): E
    // still fits better than A minor add 9, which shares E and B.
    std::array<double, 12> noisy;
    noisy.fill(1.0);
    for (int pc : {4, 8, 11})
        noisy[static_cast<std::size_t>(pc)] += 0.3;
    EXPECT_GT(chord_fit(noisy, mask({4, 8, 11})), chord_fit(noisy, mask({9, 0, 4, 11})) + 0.2);
}

TEST(Analysis, band_levels_place_a_tone_in_its_semitone)
{
    const auto x = chord_tones({69}, 2.0); // 440 Hz at amplitude 0.2 (-14 dB)
    const Spectrogram s = spectrogram(x, 16384, 4096);
    const auto levels = semitone_levels_db(s, 0.0, 2.0);
    const auto loudest = std::max_element(levels.begin(), levels.end()) - levels.begin();
    EXPECT_EQ(loudest, 69 - 36);
    EXPECT_NEAR(levels[static_cast<std::size_t>(loudest)], -14.0, 3.0);
    EXPECT_LT(levels[static_cast<std::size_t>(loudest) + 12], -60.0);
    EXPECT_NEAR(band_level_db(s, 0.0, 2.0, 400.0, 480.0), levels[static_cast<std::size_t>(loudest)], 1.5);
    EXPECT_EQ(level_distance_db(levels, levels), 0.0);
}

TEST(Analysis, tempo_and_onsets_follow_a_click_track)
{
    std::vector<float> x(to_samples(20.0), 0.0f);
    const auto times = clicks(x, 60.0 / 93.0, 60.0 / 93.0, 24);
    const Onsets o = onsets(x);
    const Tempo t = estimate_tempo(o, 0.0, 16.0);
    EXPECT_NEAR(t.bpm, 93.0, 0.2);
    EXPECT_GT(t.clarity, 0.5);
    const Onset hit = strongest_onset(o, times[5] + 0.1, 0.3);
    EXPECT_NEAR(hit.time, times[5], 0.006);
    EXPECT_GT(hit.margin, 2.0);
    // Silence: no pulse, no onset.
    const std::vector<float> quiet(to_samples(10.0), 0.0f);
    const Onsets none = onsets(quiet);
    EXPECT_EQ(estimate_tempo(none, 0.0, 10.0).bpm, 0.0);
    EXPECT_EQ(strongest_onset(none, 5.0, 1.0).time, 0.0);
    EXPECT_TRUE(beat_lengths(none, 5.0, 0.6, 4, 1).empty());
}

TEST(Analysis, beat_at_a_downbeat_reads_a_ramp_where_it_stands)
{
    // Beats slowing from 0.60 s to 0.66 s: at the last click the beat is
    // 0.66 s, though the four beats before it average less.
    std::vector<float> x(to_samples(20.0), 0.0f);
    const auto times = clicks(x, 0.60, 0.66, 24);
    const Onsets o = onsets(x);
    const auto before = beat_lengths(o, times.back(), 0.65, 4, -1);
    ASSERT_EQ(before.size(), 4u);
    EXPECT_GT(before[0], before[3]);
    EXPECT_NEAR(beat_at_downbeat(before), 0.66 + 0.0025 / 2, 0.004);
    const auto after = beat_lengths(o, times.front(), 0.6, 4, +1);
    EXPECT_NEAR(beat_at_downbeat(after), 0.60, 0.004);
    // Too faint to follow: nothing.
    EXPECT_TRUE(beat_lengths(o, times.front(), 0.6, 4, +1, 1e9).empty());
}

TEST(Analysis, near_twins_need_both_likeness_and_distance)
{
    const std::vector<std::vector<double>> levels{{0, 0, 0}, {1, 1, 1}, {0.5, 0.5, 0.5}, {9, 9, 9}};
    // 0 and 1 alike (1 dB) but close in time; 0 and 2 alike and far apart.
    EXPECT_EQ(count_near_twins(levels, {0.0, 10.0, 25.0, 60.0}, 2.0, 20.0), 2);
    EXPECT_EQ(count_near_twins(levels, {0.0, 10.0, 15.0, 60.0}, 2.0, 20.0), 0);
    EXPECT_EQ(count_near_twins(levels, {0.0, 30.0, 60.0, 90.0}, 2.0, 20.0), 3);
}
