// The composition and the mixer: sections cover the show in order, every
// cut of the arrangement starts a section, the beat glides across the cuts
// where the groove carries on, the parts agree on the harmony, the climax
// has its own material, and mixing is deterministic.
#include "mix.h"
#include "song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace synth;

namespace
{

const ChordSpan *chord_at(const Score &s, double t)
{
    for (const auto &c : s.chords)
        if (t >= c.start && t < c.end)
            return &c;
    return nullptr;
}

bool in_chord(const ChordSpan &c, double pitch)
{
    return c.pitch_classes & (1u << (static_cast<int>(std::lround(pitch)) % 12));
}

std::size_t section_index(const char *name)
{
    const auto &sections = song_sections();
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (std::string_view(sections[i].name) == name)
            return i;
    ADD_FAILURE() << "no section " << name;
    return 0;
}

template <class T> std::vector<T> during(const std::vector<T> &items, double t0, double t1)
{
    std::vector<T> out;
    std::copy_if(items.begin(), items.end(), std::back_inserter(out),
                 [&](const T &x) { return x.time >= t0 - 1e-9 && x.time < t1 - 1e-9; });
    return out;
}

} // namespace

TEST(Song, sections_tile_the_show_and_start_at_the_cuts)
{
    const auto &sections = song_sections();
    ASSERT_FALSE(sections.empty());
    EXPECT_EQ(sections.front().start, 0.0);
    for (std::size_t i = 1; i < sections.size(); ++i)
        EXPECT_DOUBLE_EQ(sections[i].start, sections[i - 1].end) << sections[i].name;
    EXPECT_DOUBLE_EQ(sections.back().end, 247.5);
    for (double cut : song_cuts()) {
        const bool starts = std::any_of(sections.begin(), sections.end(),
                                        [&](const SongSection &s) { return s.start == cut; });
        EXPECT_TRUE(starts) << cut;
    }
}

TEST(Song, beat_glides_across_flowing_cuts_and_downbeats_land_on_them)
{
    const auto &sections = song_sections();
    const TempoMap *before = nullptr;
    std::vector<TempoMap> maps;
    for (std::size_t i = 0; i < sections.size(); ++i)
        maps.push_back(section_tempo(i));
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const SongSection &s = sections[i];
        const TempoMap &m = maps[i];
        if (s.bars < 2)
            continue;
        // Every bar line inside, and the last one exactly on the section's end.
        EXPECT_DOUBLE_EQ(m.time(0.0), s.start) << s.name;
        EXPECT_NEAR(m.time(m.beats()), s.end, 1e-9) << s.name;
        for (double b = 0.0; b < m.beats(); b += 0.25) {
            const double bpm = 60.0 / m.beat_length(b);
            ASSERT_TRUE(bpm > 84.0 && bpm < 100.0) << s.name << " beat " << b << " at " << bpm;
            ASSERT_LT(std::fabs(m.beat_length(b + 1.0) / m.beat_length(b) - 1.0), 0.01) << s.name << " " << b;
            ASSERT_NEAR(m.time(b + 0.25) - m.time(b), 0.25 * m.beat_length(b + 0.125), 1e-4)
                << s.name << " " << b;
        }
        // Where the previous section flows in, the beat carries on unchanged.
        if (before && before->out_beats > 0.0) {
            EXPECT_GT(m.in_beats, 0.0) << s.name;
            EXPECT_NEAR(m.beat_length(0.0), before->beat_length(before->beats()), 1e-12) << s.name;
        }
        before = &m;
    }
    // The cuts the picture shows the groove carrying on across, at least.
    for (const char *name : {"the city rises", "build", "insect", "outro", "main groove"})
        EXPECT_GT(maps[section_index(name)].in_beats, 0.0) << name;
}

TEST(Song, delay_follows_the_beat)
{
    const Score s = compose_song();
    ASSERT_FALSE(s.delay_times.empty());
    for (std::size_t i = 1; i < s.delay_times.size(); ++i)
        ASSERT_LE(s.delay_times[i - 1].time, s.delay_times[i].time);
    const std::size_t i = section_index("insect");
    const TempoMap m = section_tempo(i);
    for (double beat : {0.0, 10.0, 39.0}) {
        const auto at = std::find_if(s.delay_times.begin(), s.delay_times.end(), [&](const DelayPoint &p) {
            return std::fabs(p.time - m.time(beat)) < 1e-9;
        });
        ASSERT_NE(at, s.delay_times.end()) << beat;
        EXPECT_NEAR(at->seconds, 0.75 * m.beat_length(beat), 1e-12);
    }
}

TEST(Song, bass_pad_and_bells_play_the_charted_chord)
{
    const Score s = compose_song();
    ASSERT_FALSE(s.chords.empty());
    for (std::size_t i = 1; i < s.chords.size(); ++i)
        ASSERT_LE(s.chords[i - 1].end, s.chords[i].start + 1e-9) << s.chords[i].start;
    for (const Note &n : s.bass) {
        const ChordSpan *c = chord_at(s, n.time + 1e-3);
        ASSERT_NE(c, nullptr) << "bass without a chord at " << n.time;
        EXPECT_TRUE(in_chord(*c, n.pitch)) << "bass " << n.pitch << " under " << c->name << " at " << n.time;
    }
    for (const Note &n : s.pad) {
        const ChordSpan *c = chord_at(s, n.time + 1e-3);
        ASSERT_NE(c, nullptr) << n.time;
        EXPECT_TRUE(in_chord(*c, n.pitch)) << "pad " << n.pitch << " in " << c->name << " at " << n.time;
    }
    // Bells struck on a bar line play a tone of that bar's chord.
    int on_bar_lines = 0;
    for (const Note &n : s.bell) {
        const ChordSpan *c = chord_at(s, n.time + 1e-6);
        if (!c || std::fabs(c->start - n.time) > 1e-6)
            continue;
        ++on_bar_lines;
        EXPECT_TRUE(in_chord(*c, n.pitch)) << "bell " << n.pitch << " over " << c->name << " at " << n.time;
    }
    EXPECT_GT(on_bar_lines, 20);
}

TEST(Song, the_climax_builds_on_the_main_groove_instead_of_replaying_it)
{
    const Score s = compose_song();
    const auto &sections = song_sections();
    const SongSection &main = sections[section_index("main groove")];
    const SongSection &city = sections[section_index("the city rises")];
    const TempoMap mm = section_tempo(section_index("main groove"));
    const TempoMap cm = section_tempo(section_index("the city rises"));

    // The theme an octave up: the same tune, twelve semitones higher.
    const auto theme = during(s.lead, mm.time(32.0), main.end);
    const auto high = during(s.lead, city.start, city.end);
    ASSERT_EQ(theme.size(), high.size());
    for (std::size_t i = 0; i < theme.size(); ++i)
        EXPECT_EQ(high[i].pitch, theme[i].pitch + 12) << i;

    // Another arpeggio figure and another drum pattern in a bar over the
    // same chord (bar 4: Am in both).
    auto pitches = [](const std::vector<Note> &notes) {
        std::vector<double> p;
        for (const Note &n : notes)
            p.push_back(n.pitch);
        return p;
    };
    EXPECT_NE(pitches(during(s.pluck, mm.time(16.0), mm.time(20.0))),
              pitches(during(s.pluck, cm.time(16.0), cm.time(20.0))));
    auto pattern = [](const std::vector<Hit> &hits, const TempoMap &m, double from) {
        std::multiset<std::pair<int, int>> p; // (drum, sixteenth)
        for (const Hit &h : hits)
            for (int k = 0; k < 16; ++k)
                if (std::fabs(h.time - m.time(from + k * 0.25)) < 1e-6)
                    p.insert({static_cast<int>(h.drum), k});
        return p;
    };
    EXPECT_NE(pattern(during(s.hits, mm.time(16.0), mm.time(20.0)), mm, 16.0),
              pattern(during(s.hits, cm.time(16.0), cm.time(20.0)), cm, 16.0));
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
    s.delay_times = {{0.0, 0.45}, {4.0, 0.45}, {6.0, 0.5}};
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
