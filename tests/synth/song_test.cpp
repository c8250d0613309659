// The composition and the mixer: sections cover the show in order, every
// cut of the arrangement starts a section, and mixing is deterministic.
#include "mix.h"
#include "song.h"

#include <gtest/gtest.h>

using namespace synth;

TEST(Song, sections_tile_the_show_and_start_at_the_cuts)
{
    const auto &sections = song_sections();
    ASSERT_FALSE(sections.empty());
    EXPECT_EQ(sections.front().start, 0.0);
    for (std::size_t i = 1; i < sections.size(); ++i)
        EXPECT_DOUBLE_EQ(sections[i].start, sections[i - 1].end) << sections[i].name;
    EXPECT_DOUBLE_EQ(sections.back().end, 247.5);
    for (const auto &s : sections) {
        EXPECT_GT(s.bars, 0);
        // About 90 beats a minute in every section with a beat.
        const double bpm = 60.0 / ((s.end - s.start) / (s.bars * 4.0));
        if (s.bars > 1) {
            EXPECT_TRUE(bpm > 84.0 && bpm < 100.0) << s.name << " at " << bpm;
        }
    }
    for (double cut : song_cuts()) {
        const bool starts = std::any_of(sections.begin(), sections.end(),
                                        [&](const SongSection &s) { return s.start == cut; });
        EXPECT_TRUE(starts) << cut;
    }
}

TEST(Song, score_fits_its_length_and_ends_in_silence)
{
    const Score s = compose_song();
    EXPECT_GE(s.length, 251.0);
    for (const auto *part : {&s.pad, &s.stab, &s.pluck, &s.bell, &s.buzz, &s.bass, &s.lead})
        for (const Note &n : *part) {
            EXPECT_GE(n.time, 0.0);
            EXPECT_LE(n.time + n.length, 247.5 + 1e-9);
        }
    for (const Hit &h : s.hits)
        EXPECT_LT(h.time, 247.5);
    EXPECT_EQ(automation_gain(s.master, 0.0), 0.0);
    EXPECT_EQ(automation_gain(s.master, 60.0), 1.0);
    EXPECT_EQ(automation_gain(s.master, 108.0), 0.0);
    EXPECT_EQ(automation_gain(s.master, 247.5), 0.0);
    EXPECT_EQ(automation_gain(s.master, 251.0), 0.0);
    EXPECT_NEAR(automation_gain(s.master, 244.25), 0.5, 1e-9);
}

TEST(Mix, renders_the_same_samples_every_time_and_masters_to_target)
{
    Score s;
    s.length = 12.0;
    for (int i = 0; i < 16; ++i) {
        s.hits.push_back({Drum::kick, i * 0.6, 0.9f});
        s.hits.push_back({Drum::hat, i * 0.6 + 0.3, 0.6f});
        s.pluck.push_back({i * 0.6, 0.2, 69.0 + (i % 4) * 3, 0.5f, 0.5f, 0.0f});
    }
    s.pad.push_back({0.0, 8.0, 57.0, 0.8f, 0.3f, 0.0f});
    s.bass.push_back({0.0, 8.0, 45.0, 0.8f, 0.3f, 0.0f});
    s.master = {{0.0, 1.0}, {9.0, 1.0}, {10.0, 0.0}};
    StereoBuffer a = mix_score(s);
    const StereoBuffer b = mix_score(s);
    ASSERT_EQ(a.frames(), to_samples(12.0));
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
    for (std::size_t i = to_samples(10.0); i < a.frames(); ++i)
        ASSERT_EQ(a.left[i], 0.0f);

    const MasterReport r = master(a, {-14.0, -2.0, 4});
    EXPECT_NEAR(r.lufs, -14.0, 0.2);
    EXPECT_LE(r.sample_peak_db, -2.0 + 1e-4);
}
