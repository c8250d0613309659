// synth_measure: what a listener would hear in the rendered soundtrack,
// measured from the MP3 and set against the score.
//
//   synth_measure TRACK.mp3 [--bars]
//
// Prints the level and peaks, where the cuts land, the tempo of every
// section and its change at each cut, how many bars hear the score's chord
// (--bars: every bar), how many bars have a near twin far away, and how
// far the lead stands out when it enters.
#include "analysis.h"
#include "loudness.h"
#include "mp3_reader.h"
#include "song.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

using namespace synth;

namespace
{

// A near twin: semitone-band spectra within this mean distance, and at
// least this far apart in time.
constexpr double twin_db = 2.0;
constexpr double twin_apart_s = 20.0;

// Beats this much weaker than the drums' (onset strength, mean over the
// beats followed) are too faint to measure a tempo change by.
constexpr double min_beat_strength = 20.0;

const char *const pitch_names[12]{"C", "C#", "D", "Eb", "E", "F", "F#", "G", "G#", "A", "Bb", "B"};

const SongSection *section_at(double t)
{
    for (const auto &s : song_sections())
        if (t >= s.start - 1e-6 && t < s.end - 1e-6)
            return &s;
    return nullptr;
}

double nominal_bpm(const SongSection &s)
{
    return 60.0 * s.bars * 4.0 / (s.end - s.start);
}

// The part of a chord span the analysis listens to: past the onset and
// the previous chord's release, at most eight seconds.
std::pair<double, double> listening_window(const ChordSpan &c)
{
    return {c.start + 0.15, std::min(c.end, c.start + 8.0)};
}

void print_level(const DecodedAudio &d)
{
    std::printf("file       %.3f s, %ld Hz, %d channel(s)\n", d.seconds(), d.rate, d.channels);
    std::printf("level      %.2f LUFS integrated, sample peak %.2f dBFS, true peak %.2f dBTP\n",
                integrated_loudness(d.audio.left, d.audio.right), sample_peak_db(d.audio.left, d.audio.right),
                true_peak_db(d.audio.left, d.audio.right));
}

void print_cuts(const Onsets &o)
{
    std::printf("\ncuts (strongest onset within 1 s; x: how much it stands out)\n");
    double worst = 0.0;
    for (double cut : song_cuts()) {
        const Onset at = strongest_onset(o, cut, 1.0);
        worst = std::max(worst, std::fabs(at.time - cut));
        std::printf("  %7.2f s: onset at %7.3f s (%+5.0f ms), %.1fx\n", cut, at.time,
                    (at.time - cut) * 1000.0, at.margin);
    }
    std::printf("  largest offset %.0f ms\n", worst * 1000.0);
}

// Tempo heard over each section with a beat, and at each cut the beat
// just before against the beat just after.
void print_tempo(const Onsets &o)
{
    std::printf("\ntempo (beats a minute: the score's mean, heard over the section, and at its first\n"
                "       and last downbeat: a line through the four beats next to it; change at its cut)\n");
    std::printf("  %-20s %7s %7s %7s %7s %7s   %s\n", "section", "from", "score", "heard", "first", "last",
                "change");
    const SongSection *prev = nullptr;
    double prev_last = 0.0;
    const char *between = nullptr;
    int over = 0;
    for (const auto &s : song_sections()) {
        if (s.bars < 2) {
            between = s.name;
            continue;
        }
        const Tempo whole = estimate_tempo(o, s.start + 0.2, s.end - 0.2);
        const bool clear = whole.clarity >= 0.25 && whole.bpm > 0.0;
        const double beat = clear ? 60.0 / whole.bpm : 60.0 / nominal_bpm(s);
        const double first = beat_at_downbeat(beat_lengths(o, s.start, beat, 4, +1, min_beat_strength));
        const double last = beat_at_downbeat(beat_lengths(o, s.end, beat, 4, -1, min_beat_strength));
        auto bpm = [](double interval) { return interval > 0.0 ? 60.0 / interval : 0.0; };
        std::printf("  %-20s %7.2f %7.2f %6.1f%s %7.1f %7.1f", s.name, s.start, nominal_bpm(s), whole.bpm,
                    clear ? " " : "?", bpm(first), bpm(last));
        if (prev && prev_last > 0.0 && first > 0.0) {
            const double change = 100.0 * (prev_last / first - 1.0);
            const bool flows = prev->flows;
            over += flows && std::fabs(change) > 2.0;
            std::printf("   %+5.1f %%%s%s%s", change, flows ? "" : " (new tempo)",
                        between ? " across the " : "", between ? between : "");
        }
        std::printf("\n");
        prev = clear ? &s : nullptr;
        prev_last = last;
        between = nullptr;
    }
    std::printf("  ?: no clear pulse (autocorrelation under 0.25), no change shown after it; 0.0: beats\n"
                "     too faint to follow (mean onset strength under %.0f)\n",
                min_beat_strength);
    std::printf("  %d cut(s) where the groove carries on change the beat by more than 2 %%\n", over);
}

struct BarReading {
    const ChordSpan *chord;
    const SongSection *section;
    std::string heard;
    double best_fit, score_fit, in_share, other_share;
    int other_pc, bass_pc;
    bool differs;
    std::vector<double> levels; // empty outside sections with a beat
};

std::vector<BarReading> read_bars(const Score &score, const Spectrogram &spec)
{
    std::map<std::string, unsigned> vocabulary;
    for (const auto &c : score.chords)
        vocabulary[c.name] = c.pitch_classes;
    std::vector<BarReading> bars;
    for (const auto &c : score.chords) {
        const auto [t0, t1] = listening_window(c);
        BarReading r{&c, section_at(c.start), "", -1.0, 0.0, 0.0, 0.0, 0, 0, false, {}};
        const auto ch = chroma(spec, t0, t1);
        for (const auto &[name, mask] : vocabulary)
            if (const double fit = chord_fit(ch, mask); fit > r.best_fit) {
                r.best_fit = fit;
                r.heard = name;
            }
        r.score_fit = chord_fit(ch, c.pitch_classes);
        double total = 0.0;
        for (int k = 0; k < 12; ++k) {
            const double v = ch[static_cast<std::size_t>(k)];
            total += v;
            if (c.pitch_classes & (1u << k))
                r.in_share += v;
            else if (v > r.other_share) {
                r.other_share = v;
                r.other_pc = k;
            }
        }
        r.in_share /= std::max(total, 1e-30);
        r.other_share /= std::max(total, 1e-30);
        const auto low = chroma(spec, t0, t1, 40.0, 250.0);
        r.bass_pc = static_cast<int>(std::max_element(low.begin(), low.end()) - low.begin());
        r.differs = r.best_fit - r.score_fit > 0.02 || !(c.pitch_classes & (1u << r.bass_pc));
        if (r.section && r.section->bars > 1)
            r.levels = semitone_levels_db(spec, t0, t1);
        bars.push_back(std::move(r));
    }
    return bars;
}

// Chord per bar (--bars: every bar; otherwise those that differ), then the
// near twins.
void print_bars(const std::vector<BarReading> &bars, bool every_bar)
{
    std::printf("\nchords (per chord span: the score's chord, the best-fitting chord of the score's, both\n"
                "        fits, share of the score's tones, strongest other pitch class, strongest pitch\n"
                "        class under 250 Hz; differs: another chord fits better by over 0.02, or the\n"
                "        bass is no tone of the chord; twin: the nearest far bar within %.0f dB)\n",
                twin_db);
    int agree = 0;
    std::vector<std::vector<double>> levels;
    std::vector<double> times;
    for (const auto &b : bars)
        if (!b.levels.empty()) {
            levels.push_back(b.levels);
            times.push_back(b.chord->start);
        }
    for (const auto &b : bars) {
        agree += !b.differs;
        double twin_at = -1.0, twin_d = twin_db;
        for (const auto &o : bars)
            if (!b.levels.empty() && !o.levels.empty() &&
                std::fabs(o.chord->start - b.chord->start) > twin_apart_s)
                if (const double d = level_distance_db(b.levels, o.levels); d <= twin_d) {
                    twin_d = d;
                    twin_at = o.chord->start;
                }
        if (!every_bar && !b.differs)
            continue;
        std::printf("  %7.2f-%7.2f %-19s %-3s heard %-3s %.2f/%.2f, in %2.0f %%, %-2s %2.0f %%, bass %-2s",
                    b.chord->start, b.chord->end, b.section ? b.section->name : "", b.chord->name,
                    b.heard.c_str(), b.score_fit, b.best_fit, 100.0 * b.in_share, pitch_names[b.other_pc],
                    100.0 * b.other_share, pitch_names[b.bass_pc]);
        if (twin_at >= 0.0)
            std::printf(", twin %.2f (%.1f dB)", twin_at, twin_d);
        std::printf("%s\n", b.differs ? "  <- differs" : "");
    }
    std::printf("  %d of %zu chord spans agree with the score\n", agree, bars.size());
    std::printf("\nnear twins: %d of %zu bars have one (semitone-band spectrum within %.0f dB on average,\n"
                "            more than %.0f s away)\n",
                count_near_twins(levels, times, twin_db, twin_apart_s), levels.size(), twin_db, twin_apart_s);
}

// How much the lead adds where it first enters: its first two bars against
// the two bars four earlier (the same chords without it).
void print_lead(const Score &score, const Spectrogram &spec)
{
    if (score.lead.empty())
        return;
    const double entry = score.lead.front().time;
    std::size_t i = 0;
    while (i < score.chords.size() && score.chords[i].start < entry - 1e-6)
        ++i;
    if (i < 4 || i + 1 >= score.chords.size())
        return;
    auto level = [&](std::size_t k) {
        return band_level_db(spec, score.chords[k].start + 0.15, score.chords[k + 1].end, 250.0, 4000.0);
    };
    std::printf("\nlead entry at %.2f s: 250 Hz-4 kHz %+.1f dB over the bars four earlier (%s %s)\n", entry,
                level(i) - level(i - 4), score.chords[i].name, score.chords[i + 1].name);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argv[1][0] == '-' || (argc > 2 && std::strcmp(argv[2], "--bars") != 0) || argc > 3) {
        std::fprintf(stderr, "usage: synth_measure TRACK.mp3 [--bars]\n");
        return 2;
    }
    DecodedAudio d;
    std::string error;
    if (!read_mp3(argv[1], d, error)) {
        std::fprintf(stderr, "synth_measure: %s\n", error.c_str());
        return 1;
    }
    if (d.rate != static_cast<long>(sample_rate)) {
        std::fprintf(stderr, "synth_measure: '%s' runs at %ld Hz, not %.0f\n", argv[1], d.rate, sample_rate);
        return 1;
    }
    if (d.seconds() < song_sections().back().end)
        std::fprintf(stderr,
                     "synth_measure: '%s' lasts %.1f s, the score %.1f s: the rest reads as silence\n",
                     argv[1], d.seconds(), song_sections().back().end);
    std::vector<float> mono(d.audio.frames());
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.5f * (d.audio.left[i] + d.audio.right[i]);
    const Score score = compose_song();
    const Onsets o = onsets(mono);
    const Spectrogram spec = spectrogram(mono, 16384, 4096);

    print_level(d);
    print_cuts(o);
    print_tempo(o);
    print_bars(read_bars(score, spec), argc > 2);
    print_lead(score, spec);
    return 0;
}
