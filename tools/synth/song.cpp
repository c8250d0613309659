// The composition: see song.h.
//
// Harmony is A minor (Am F C G as the main loop, an Andalusian descent for
// the leaves, Dm E before drops). Parts are written per section with a few
// pattern helpers; a short rest before each cut (the "gap") and an impact on
// it (crash, sub boom, kick) make the cuts land where the picture cuts.
#include "song.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace synth
{
namespace
{

struct Chord {
    const char *name;
    int root;                 // bass note (MIDI)
    std::array<int, 4> tones; // pad voicing

    unsigned pitch_classes() const
    {
        unsigned mask = 1u << (root % 12);
        for (int t : tones)
            mask |= 1u << (t % 12);
        return mask;
    }
};

const Chord Am{"Am", 45, {57, 60, 64, 71}};
const Chord F{"F", 41, {53, 57, 60, 64}};
const Chord C{"C", 48, {52, 55, 60, 67}};
const Chord G{"G", 43, {55, 59, 62, 67}};
const Chord Em{"Em", 40, {52, 55, 59, 64}};
const Chord Dm{"Dm", 38, {53, 57, 62, 65}};
const Chord E{"E", 40, {52, 56, 59, 64}};
const Chord Gm{"G6", 43, {55, 59, 62, 64}}; // G6 (no F#): the descent's second chord

using Progression = std::vector<Chord>;

// A run of bars on a section's tempo map. Bars count from the section's
// first bar, so a run that starts later still reads the section's
// progression at the bar where it plays: bass, pad and bells cannot drift
// apart.
struct Grid {
    TempoMap map;
    int first = 0; // first bar of the run within its section
    int bars = 0;

    Grid slice(int from, int count) const { return {map, first + from, count}; }
    double at(double beats) const { return map.time(first * 4.0 + beats); }
    double beat(double beats = 0.0) const { return map.beat_length(first * 4.0 + beats); }
    double start() const { return at(0.0); }
    double end() const { return at(bars * 4.0); }
    const Chord &chord(const Progression &p, int bar) const
    {
        return p[static_cast<std::size_t>(first + bar) % p.size()];
    }
};

Grid section_grid(const char *name)
{
    const auto &sections = song_sections();
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (std::string_view(sections[i].name) == name) {
            const TempoMap m = section_tempo(i);
            return {m, 0, m.bars};
        }
    throw std::logic_error(std::string("no section named ") + name);
}

struct MelodyNote {
    double beat;
    double beats;
    int pitch;
};

// Over Am F C G.
const std::vector<MelodyNote> theme{
    {0, 1.5, 76}, {1.5, 0.5, 74}, {2, 1, 72},  {3, 0.5, 71},  {3.5, 0.5, 72},  {4, 3, 69},  {7, 1, 72},
    {8, 1.5, 67}, {9.5, 0.5, 72}, {10, 2, 76}, {12, 1.5, 74}, {13.5, 0.5, 72}, {14, 2, 71},
};
// Answer over Am F C G, ending home.
const std::vector<MelodyNote> answer{
    {0, 1.5, 76}, {1.5, 0.5, 79}, {2, 1, 76},  {3, 1, 74},  {4, 1.5, 72}, {5.5, 0.5, 74}, {6, 2, 77},
    {8, 1, 76},   {9, 1, 72},     {10, 2, 67}, {12, 1, 74}, {13, 1, 71},  {14, 2, 69},
};
// Over F G Am Am F G Em.
const std::vector<MelodyNote> tilted{
    {0, 1.5, 72},    {1.5, 0.5, 69}, {2, 1, 72},    {3, 1, 77},      {4, 2, 74},  {6, 1, 71},
    {7, 1, 74},      {8, 3, 76},     {11, 0.5, 74}, {11.5, 0.5, 72}, {12, 4, 69}, {16, 1.5, 72},
    {17.5, 0.5, 69}, {18, 1, 72},    {19, 1, 76},   {20, 2, 74},     {22, 2, 79}, {24, 3.5, 76},
};
// Bells over F Em Dm E (the breakdown).
const std::vector<MelodyNote> chimes{
    {0, 1, 81}, {1, 1, 77},  {2, 2, 76},  {4, 1, 79},  {5, 1, 76},  {6, 2, 71},  {8, 1, 77},
    {9, 1, 74}, {10, 2, 69}, {12, 1, 76}, {13, 1, 71}, {14, 1, 68}, {15, 1, 64},
};

// Sweeps into a cut stop this early: a breath of silence before the hit.
constexpr double gap_s = 0.12;

// Arpeggio figures over the five notes of a chord (voicing plus the top
// octave). The climax's figure is three sixteenths long, so it turns
// against the bar like the dotted-eighth echoes do.
constexpr std::array<int, 8> rising{0, 2, 4, 2, 1, 3, 4, 3};
constexpr std::array<int, 8> falling{4, 3, 2, 1, 3, 2, 1, 0};
constexpr std::array<int, 3> turning{0, 2, 4};

enum class Kick { none, half, four };

struct Kit {
    Kick kick = Kick::none;
    bool snare = false;
    bool clap = false;
    int hats = 0; // 0, 8 or 16 per bar
    bool open_hats = false;
    bool drive = false;     // the climax: a pushed kick and ghost snares
    bool half_time = false; // snare and clap on the third beat only
    float level = 1.0f;
};

enum class BassStyle {
    whole,   // one note a bar
    halves,  // two
    pumping, // the one, then the off-beat eighths
    octaves, // every eighth, root and octave in turn
};

class Composer
{
  public:
    Score score;

    // One chord on the pad from t0 to t1, charted as the bar's harmony.
    void chord_span(double t0, double t1, double overlap, const Chord &c, float vel, float bright,
                    int transpose = 0)
    {
        chart(t0, t1, c);
        for (std::size_t k = 0; k < c.tones.size(); ++k)
            score.pad.push_back({t0, t1 - t0 + overlap, static_cast<double>(c.tones[k] + transpose), vel,
                                 bright, k % 2 ? 0.3f : -0.3f});
    }

    void pad(const Grid &g, const Progression &p, float vel, float bright, double overlap = 0.15,
             int transpose = 0)
    {
        for (int bar = 0; bar < g.bars; ++bar)
            chord_span(g.at(bar * 4.0), g.at(bar * 4.0 + 4.0), bar + 1 == g.bars ? 0.0 : overlap,
                       g.chord(p, bar), vel, bright, transpose);
    }

    void held_chord(double t0, double len, const Chord &c, float vel, float bright)
    {
        chord_span(t0, t0 + len, 0.0, c, vel, bright);
        score.pad.push_back({t0, len, static_cast<double>(c.root + 12), vel * 0.7f, bright, 0.0f});
    }

    void bass(const Grid &g, const Progression &p, BassStyle style, float vel, float bright, double gap = 0.0)
    {
        const double end = g.bars * 4.0 - gap;
        auto note = [&](double beat, double beats, int pitch, float v) {
            if (beat >= end)
                return;
            const double len = g.at(std::min(beat + beats, end)) - g.at(beat);
            score.bass.push_back({g.at(beat), len, double(pitch), v, bright});
        };
        for (int bar = 0; bar < g.bars; ++bar) {
            const int root = g.chord(p, bar).root;
            const double b0 = bar * 4.0;
            switch (style) {
            case BassStyle::whole:
                note(b0, 4.0 - 0.05, root, vel);
                break;
            case BassStyle::halves:
                note(b0, 1.6, root, vel);
                note(b0 + 2.0, 1.6, root, vel * 0.85f);
                break;
            case BassStyle::pumping:
                note(b0, 0.4, root, vel);
                for (double b = 0.5; b < 4.0; b += 1.0)
                    note(b0 + b, 0.4, root + (b == 3.5 && bar % 2 ? 12 : 0), vel * 0.85f);
                break;
            case BassStyle::octaves:
                for (int k = 0; k < 8; ++k)
                    note(b0 + k * 0.5, 0.4, root + (k % 2 ? 12 : 0),
                         vel * (k == 0  ? 1.0f
                                : k % 2 ? 0.7f
                                        : 0.85f));
                break;
            }
        }
    }

    // Arpeggio over the pad voicing plus its top octave, the filter opening
    // from bright0 to bright1 over the run.
    void arp(const Grid &g, const Progression &p, double step, float vel, float bright0, float bright1,
             std::span<const int> figure = rising, double gap = 0.0, int transpose = 12)
    {
        const double end = g.bars * 4.0 - gap;
        int i = 0;
        for (double beat = 0.0; beat < end - 1e-9; beat += step, ++i) {
            const int bar = static_cast<int>(beat / 4.0);
            const Chord &c = g.chord(p, bar);
            const std::array<int, 5> notes{c.tones[0], c.tones[1], c.tones[2], c.tones[3], c.tones[0] + 12};
            const auto k = static_cast<std::size_t>(i) % figure.size();
            const float x = static_cast<float>(beat / (g.bars * 4.0));
            // Short figures accent their first note, long ones the beat.
            const bool accent = figure.size() < 4 ? k == 0 : std::fmod(beat, 1.0) == 0.0;
            const float pan = (i % 2 ? 0.35f : -0.35f);
            score.pluck.push_back({g.at(beat), step * g.beat(beat) * 0.6,
                                   double(notes[static_cast<std::size_t>(figure[k])] + transpose),
                                   vel * (accent ? 1.0f : 0.8f), bright0 + (bright1 - bright0) * x, pan});
        }
    }

    void melody(const Grid &g, const std::vector<MelodyNote> &m, double offset_beats, float vel, float bright,
                int transpose = 0)
    {
        for (const auto &n : m) {
            const double b = offset_beats + n.beat;
            score.lead.push_back(
                {g.at(b), (g.at(b + n.beats) - g.at(b)) * 0.92, double(n.pitch + transpose), vel, bright});
        }
    }

    void bells(const Grid &g, const std::vector<MelodyNote> &m, double offset_beats, float vel,
               int transpose = 0)
    {
        for (const auto &n : m) {
            const double b = offset_beats + n.beat;
            score.bell.push_back({g.at(b), (g.at(b + n.beats) - g.at(b)) * 0.5, double(n.pitch + transpose),
                                  vel, 0.5f, n.pitch % 2 ? 0.4f : -0.4f});
        }
    }

    // Sparse bells on chord tones: beats 0 and 2.5 of each bar.
    void bell_accents(const Grid &g, const Progression &p, float vel)
    {
        for (int bar = 0; bar < g.bars; ++bar) {
            const Chord &c = g.chord(p, bar);
            score.bell.push_back(
                {g.at(bar * 4.0), g.beat(bar * 4.0), double(c.tones[3] + 12), vel, 0.4f, -0.4f});
            score.bell.push_back({g.at(bar * 4.0 + 2.5), g.beat(bar * 4.0 + 2.5), double(c.tones[2] + 12),
                                  vel * 0.8f, 0.4f, 0.4f});
        }
    }

    // Insect riff: eighths and sixteenths around the root, two octaves up.
    void buzz(const Grid &g, const Progression &p, float vel, double gap = 0.0)
    {
        static constexpr std::array<int, 8> shape{0, 0, 7, 0, 12, 7, 3, 7};
        const double end = g.bars * 4.0 - gap;
        for (int bar = 0; bar < g.bars; ++bar) {
            const Chord &c = g.chord(p, bar);
            const int third = c.tones[1] - c.root - 12;
            for (int k = 0; k < 8; ++k) {
                const double beat = bar * 4.0 + k * 0.5;
                if (beat >= end)
                    break;
                int interval = shape[static_cast<std::size_t>(k)];
                if (interval == 3)
                    interval = third;
                score.buzz.push_back({g.at(beat), 0.35 * g.beat(beat), double(c.root + 24 + interval),
                                      vel * (k % 2 ? 0.8f : 1.0f), 0.6f, (k % 2 ? 0.25f : -0.25f)});
            }
        }
    }

    void drums(const Grid &g, const Kit &kit, double gap = 0.5)
    {
        const double end = g.bars * 4.0 - gap;
        const float v = kit.level;
        for (int bar = 0; bar < g.bars; ++bar) {
            for (int s = 0; s < 16; ++s) {
                const double beat = bar * 4.0 + s * 0.25;
                if (beat >= end - 1e-9)
                    break;
                const double t = g.at(beat);
                const bool on_beat = s % 4 == 0;
                if (on_beat && (kit.kick == Kick::four || (kit.kick == Kick::half && s % 8 == 0)))
                    hit(Drum::kick, t, 0.95f * v);
                const bool backbeat = kit.half_time ? s == 8 : s == 4 || s == 12;
                if (backbeat && kit.snare)
                    hit(Drum::snare, t, 0.55f * v);
                if (backbeat && kit.clap)
                    hit(Drum::clap, t, 0.4f * v);
                if (kit.drive && s == 10)
                    hit(Drum::kick, t, 0.6f * v);
                if (kit.drive && (s == 7 || s == 14 || s == 15))
                    hit(Drum::snare, t, (s == 15 ? 0.3f : 0.18f) * v);
                if (kit.hats == 16 || (kit.hats == 8 && s % 2 == 0)) {
                    const bool open = kit.open_hats && s % 4 == 2;
                    const float hv = (s % 4 == 2 ? 0.75f : (s % 2 ? 0.45f : 0.6f)) * v;
                    hit(open ? Drum::open_hat : Drum::hat, t, open ? 0.5f * v : hv);
                }
            }
        }
    }

    // Snare roll over [from, to) beats of the grid, denser and louder.
    void roll(const Grid &g, double from, double to, double step, float v0, float v1)
    {
        for (double b = from; b < to - 1e-9; b += step) {
            const float x = static_cast<float>((b - from) / (to - from));
            hit(Drum::snare, g.at(b), v0 + (v1 - v0) * x);
        }
    }

    // The accent of a cut: crash, sub boom, a short chord hit, and a kick
    // where the groove has none on that downbeat.
    void impact(double t, float strength, const Chord &chord, bool kick = false)
    {
        hit(Drum::crash, t, 1.4f * strength);
        hit(Drum::boom, t, 0.45f * strength);
        stab(t, 0.12, chord, 0.5f * strength);
        if (kick)
            hit(Drum::kick, t, 0.9f * strength);
    }

    void stab(double t, double len, const Chord &c, float vel)
    {
        for (std::size_t k = 0; k < c.tones.size(); ++k)
            score.stab.push_back({t, len, double(c.tones[k]), vel, 0.8f, k % 2 ? 0.25f : -0.25f});
        score.stab.push_back({t, len, double(c.root + 12), vel, 0.8f, 0.0f});
    }

    // The echo follows the section's beat (a dotted eighth); where the
    // tempo jumps it glides over a quarter of a second instead.
    void delay_follows(const Grid &g)
    {
        const bool glide_in = g.map.in_beats <= 0.0;
        for (int b = 0; b <= g.bars * 4; ++b)
            score.delay_times.push_back({b == 0 && glide_in ? g.at(0.0) + 0.25 : g.at(b), 0.75 * g.beat(b)});
    }

    void chart(double t0, double t1, const Chord &c)
    {
        score.chords.push_back({t0, t1, c.name, c.pitch_classes()});
    }

    void riser(double t0, double t1, float vel) { score.sweeps.push_back({true, t0, t1 - t0, vel}); }
    void swell(double t0, double t1, float vel) { score.sweeps.push_back({false, t0, t1 - t0, vel}); }
    void hit(Drum d, double t, float v) { score.hits.push_back({d, t, v}); }
};

} // namespace

double automation_gain(const std::vector<GainPoint> &points, double t)
{
    if (points.empty() || t < points.front().time)
        return points.empty() ? 1.0 : points.front().gain;
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (t < points[i].time) {
            const auto &a = points[i - 1];
            const auto &b = points[i];
            const double x = (t - a.time) / (b.time - a.time);
            return a.gain + (b.gain - a.gain) * 0.5 * (1.0 - std::cos(std::numbers::pi * x));
        }
    }
    return points.back().gain;
}

const std::vector<SongSection> &song_sections()
{
    static const std::vector<SongSection> sections{
        {0.0, 21.9, 8, "rise", true},
        {21.9, 27.2, 2, "first orbit", true},
        {27.2, 32.4, 2, "second cut", true},
        {32.4, 37.7, 2, "third cut", true},
        {37.7, 43.0, 2, "fourth cut, rising", true},
        {43.0, 87.1, 17, "main groove", true},
        {87.1, 88.2, 1, "stop"},
        {88.2, 106.8, 7, "tilted city"},
        {106.8, 108.28, 1, "silence"},
        {108.28, 115.6, 3, "triple stab, swell", true},
        {115.6, 138.8, 9, "the city rises", true},
        {138.8, 148.9, 4, "breakdown", true},
        {148.9, 165.2, 6, "build", true},
        {165.2, 169.1, 1, "break"},
        {169.1, 194.7, 10, "insect", true},
        {194.7, 204.7, 4, "leaves", true},
        {204.7, 214.7, 4, "leaves, faster", true},
        {214.7, 241.0, 10, "outro"},
        {241.0, 247.5, 1, "final fade"},
    };
    return sections;
}

const std::vector<double> &song_cuts()
{
    static const std::vector<double> cuts{21.9,  27.2,  32.4,  37.7,  43.0,  87.1,  88.2,  108.28,
                                          115.6, 138.8, 148.9, 165.2, 169.1, 194.7, 204.7, 214.7};
    return cuts;
}

double TempoMap::steady_beat() const
{
    return (end - start - in_beats * in_beat / 2.0 - out_beats * out_beat / 2.0) /
           (beats() - in_beats / 2.0 - out_beats / 2.0);
}

double TempoMap::beat_length(double beat) const
{
    const double steady = steady_beat(), out_from = beats() - out_beats;
    if (beat < in_beats)
        return in_beat + (steady - in_beat) * std::max(0.0, beat) / in_beats;
    if (out_beats > 0.0 && beat > out_from)
        return steady + (out_beat - steady) * std::min(1.0, (beat - out_from) / out_beats);
    return steady;
}

double TempoMap::time(double beat) const
{
    // The integral of the beat length: quadratic over the glides.
    const double steady = steady_beat(), out_from = beats() - out_beats;
    beat = std::clamp(beat, 0.0, beats());
    if (beat < in_beats)
        return start + in_beat * beat + (steady - in_beat) * beat * beat / (2.0 * in_beats);
    double t = start + in_beats * (in_beat + steady) / 2.0 + (std::min(beat, out_from) - in_beats) * steady;
    if (out_beats > 0.0 && beat > out_from) {
        const double x = beat - out_from;
        t += steady * x + (out_beat - steady) * x * x / (2.0 * out_beats);
    }
    return t;
}

TempoMap section_tempo(std::size_t index)
{
    const auto &sections = song_sections();
    const SongSection &s = sections.at(index);
    TempoMap m{s.start, s.end, s.bars};
    if (s.bars < 2)
        return m;
    const double glide = s.bars >= 4 ? 8.0 : 4.0;
    auto fitted = [](const SongSection &x) { return (x.end - x.start) / (x.bars * 4.0); };
    for (std::size_t k = index; k-- > 0;)
        if (sections[k].bars > 1) {
            if (sections[k].flows) {
                m.in_beats = glide;
                m.in_beat = 0.5 * (fitted(sections[k]) + fitted(s));
            }
            break;
        }
    if (s.flows)
        for (std::size_t k = index + 1; k < sections.size(); ++k)
            if (sections[k].bars > 1) {
                m.out_beats = glide;
                m.out_beat = 0.5 * (fitted(s) + fitted(sections[k]));
                break;
            }
    return m;
}

Score compose_song()
{
    Composer c;
    Score &s = c.score;
    s.length = 252.0;
    const Progression main{Am, F, C, G};

    // Rise from black: pad and bells, a low bass note from bar 4, a swell
    // into the first cut.
    {
        const Grid g = section_grid("rise");
        const Progression p{Am, Am, F, F, Am, Am, F, G};
        c.pad(g, p, 0.6f, 0.1f);
        for (int bar = 2; bar < 8; ++bar)
            c.bell_accents(g.slice(bar, 1), p, 0.25f + 0.05f * (bar - 2));
        c.bass(g.slice(4, 4), p, BassStyle::whole, 0.5f, 0.1f);
        c.swell(g.end() - 2.5, g.end() - gap_s, 0.7f);
        c.delay_follows(g);
    }
    // Four cuts, two bars each, one layer more every time.
    {
        const Grid g1 = section_grid("first orbit"), g2 = section_grid("second cut"),
                   g3 = section_grid("third cut"), g4 = section_grid("fourth cut, rising");
        c.impact(g1.start(), 0.7f, Am);
        c.pad(g1, {Am, F}, 0.9f, 0.15f);
        c.bass(g1, {Am, F}, BassStyle::whole, 0.75f, 0.15f, 0.25);
        c.arp(g1, {Am, F}, 0.5, 0.35f, 0.1f, 0.25f, rising, 0.25);

        c.impact(g2.start(), 0.75f, C);
        c.pad(g2, {C, G}, 0.9f, 0.2f);
        c.bass(g2, {C, G}, BassStyle::whole, 0.8f, 0.2f, 0.25);
        c.arp(g2, {C, G}, 0.5, 0.4f, 0.25f, 0.35f, rising, 0.25);
        c.drums(g2, {.hats = 8, .level = 0.7f}, 0.25);

        c.impact(g3.start(), 0.8f, Am);
        c.pad(g3, {Am, F}, 0.95f, 0.25f);
        c.bass(g3, {Am, F}, BassStyle::pumping, 0.8f, 0.25f, 0.25);
        c.arp(g3, {Am, F}, 0.5, 0.45f, 0.3f, 0.45f, rising, 0.25);
        c.drums(g3, {.kick = Kick::half, .hats = 8, .level = 0.8f}, 0.25);

        c.impact(g4.start(), 0.85f, Dm);
        c.pad(g4, {Dm, E}, 1.0f, 0.3f);
        c.bass(g4, {Dm, E}, BassStyle::pumping, 0.85f, 0.3f, 0.5);
        c.arp(g4, {Dm, E}, 0.25, 0.4f, 0.35f, 0.7f, rising, 0.5);
        c.drums(g4.slice(0, 1), {.kick = Kick::half, .snare = true, .hats = 16, .level = 0.85f}, 0.0);
        c.roll(g4, 4.0, 7.5, 0.25, 0.25f, 0.75f);
        c.riser(g4.start(), g4.end() - gap_s, 0.8f);
        for (const Grid *g : {&g1, &g2, &g3, &g4})
            c.delay_follows(*g);
    }
    // The main groove, lead from bar 8.
    {
        const Grid g = section_grid("main groove");
        c.impact(g.start(), 1.0f, Am);
        c.pad(g, main, 0.9f, 0.35f);
        c.bass(g, main, BassStyle::pumping, 1.0f, 0.45f, 0.5);
        c.arp(g, main, 0.25, 0.45f, 0.45f, 0.6f, rising, 0.5);
        c.drums(g.slice(0, 4), {.kick = Kick::four, .snare = true, .hats = 16}, 0.0);
        c.drums(g.slice(4, 13),
                {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true}, 0.5);
        c.melody(g, theme, 32.0, 0.9f, 0.4f);
        c.melody(g, answer, 48.0, 0.9f, 0.5f);
        c.hit(Drum::crash, g.at(32.0), 0.5f);
        c.delay_follows(g);
    }
    // Stop: a last hit, then a swell into the tilted city.
    {
        c.impact(87.1, 0.9f, F, true);
        c.held_chord(87.1, 0.9, F, 0.5f, 0.2f);
        c.swell(87.35, 88.2 - gap_s, 0.6f);
    }
    {
        const Grid g = section_grid("tilted city");
        const Progression p{F, G, Am, Am, F, G, Em};
        c.impact(g.start(), 0.95f, F);
        c.pad(g, p, 0.9f, 0.4f);
        c.bass(g, p, BassStyle::pumping, 1.0f, 0.5f);
        c.arp(g, p, 0.25, 0.45f, 0.55f, 0.7f);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true}, 0.0);
        c.melody(g, tilted, 0.0, 0.9f, 0.55f);
        c.delay_follows(g);
    }
    // Silence, then the triple stab and a swell back up: F from the second
    // beat, E in the last bar, bass and arpeggio joining in bar 2.
    s.fx_clear_times.push_back(108.27);
    {
        const Grid g = section_grid("triple stab, swell");
        const Progression p{F, F, E};
        for (int k = 0; k < 3; ++k)
            c.stab(g.at(k * 0.25), 0.08, Am, 0.8f);
        c.impact(g.start(), 1.0f, Am, true);
        c.chord_span(g.at(1.0), g.at(8.0), 0.15, F, 0.9f, 0.3f);
        c.pad(g.slice(2, 1), p, 0.9f, 0.3f);
        c.bass(g.slice(1, 2), p, BassStyle::whole, 0.7f, 0.2f, 0.5);
        c.arp(g.slice(1, 2), p, 0.25, 0.35f, 0.2f, 0.8f, rising, 0.5);
        c.drums(g.slice(2, 1), {.kick = Kick::four, .hats = 8, .level = 0.8f}, 0.5);
        c.roll(g, 8.0, 11.5, 0.25, 0.3f, 0.8f);
        c.riser(g.at(2.0), g.end() - gap_s, 0.9f);
        c.delay_follows(g);
    }
    // The city rises, the climax: the theme and its answer an octave up,
    // the pad opened an octave higher, the bass in octaves, a turning
    // three-note arpeggio and a pushed kick with ghost snares.
    {
        const Grid g = section_grid("the city rises");
        c.impact(g.start(), 1.0f, Am);
        c.pad(g, main, 0.9f, 0.45f, 0.15, 12);
        c.bass(g, main, BassStyle::octaves, 1.0f, 0.55f, 0.5);
        c.arp(g, main, 0.25, 0.5f, 0.6f, 0.85f, turning, 0.5);
        c.drums(
            g,
            {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true, .drive = true},
            0.5);
        for (int bar = 4; bar < 9; bar += 4)
            c.hit(Drum::crash, g.at(bar * 4.0), 0.6f);
        c.melody(g, theme, 0.0, 0.85f, 0.45f, 12);
        c.melody(g, answer, 16.0, 0.85f, 0.5f, 12);
        c.bell_accents(g, main, 0.3f);
        c.delay_follows(g);
    }
    // Breakdown: no drums, bells over a slow descent.
    {
        const Grid g = section_grid("breakdown");
        const Progression p{F, Em, Dm, E};
        c.impact(g.start(), 0.7f, F);
        c.pad(g, p, 0.6f, 0.2f);
        c.bass(g, p, BassStyle::whole, 0.45f, 0.1f);
        c.arp(g, p, 0.5, 0.25f, 0.15f, 0.2f);
        c.bells(g, chimes, 0.0, 0.45f);
        c.swell(g.end() - 1.6, g.end() - gap_s, 0.6f);
        c.delay_follows(g);
    }
    // Build: four on the floor, hats doubling, a roll and a riser, the
    // arpeggio's filter opening all the way.
    {
        const Grid g = section_grid("build");
        const Progression p{Am, F, C, G, Dm, E};
        c.impact(g.start(), 0.9f, Am);
        c.pad(g, p, 0.9f, 0.3f);
        c.bass(g, p, BassStyle::pumping, 0.9f, 0.3f, 0.5);
        c.arp(g, p, 0.25, 0.45f, 0.2f, 1.0f, rising, 0.5);
        c.drums(g.slice(0, 2), {.kick = Kick::four, .hats = 8, .level = 0.85f}, 0.0);
        c.drums(g.slice(2, 2), {.kick = Kick::four, .hats = 16, .level = 0.9f}, 0.0);
        c.drums(g.slice(4, 2), {.kick = Kick::four, .hats = 16}, 0.5);
        c.roll(g, 16.0, 20.0, 0.5, 0.3f, 0.5f);
        c.roll(g, 20.0, 23.5, 0.25, 0.5f, 0.9f);
        c.riser(g.at(8.0), g.end() - gap_s, 1.0f);
        c.delay_follows(g);
    }
    // Break: one hit, a held chord, a swell into the insect.
    {
        c.impact(165.2, 0.9f, E, true);
        c.held_chord(165.2, 2.2, E, 0.7f, 0.25f);
        c.score.bell.push_back({165.2, 0.5, 88.0, 0.4f, 0.5f, 0.0f});
        c.swell(167.4, 169.1 - gap_s, 0.8f);
    }
    // The insect: the groove with the buzzing riff in front, a darker pad,
    // arpeggio and hats thinned to eighths.
    {
        const Grid g = section_grid("insect");
        const Progression p{Am, F, C, G, Am, F, C, G, Dm, E};
        c.impact(g.start(), 1.0f, Am);
        c.pad(g, p, 0.95f, 0.25f);
        c.bass(g, p, BassStyle::pumping, 1.0f, 0.6f, 0.5);
        c.arp(g, p, 0.5, 0.4f, 0.6f, 0.8f, rising, 0.5, 24);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = true, .hats = 8, .open_hats = true}, 0.5);
        c.buzz(g, p, 1.1f, 0.5);
        c.melody(g, theme, 16.0, 0.6f, 0.6f, 12);
        c.delay_follows(g);
    }
    // Leaves: the descent, falling arpeggios, no kick.
    const Progression descent{Am, Gm, F, E};
    {
        const Grid g = section_grid("leaves");
        c.impact(g.start(), 0.8f, Am);
        c.pad(g, descent, 0.75f, 0.3f);
        c.bass(g, descent, BassStyle::halves, 0.65f, 0.3f, 0.25);
        c.arp(g, descent, 0.5, 0.45f, 0.4f, 0.5f, falling, 0.25, 24);
        c.drums(g, {.hats = 8, .level = 0.7f}, 0.25);
        c.bells(g, {{0, 1, 84}, {4, 1, 83}, {8, 1, 81}, {12, 1, 80}}, 0.0, 0.35f);
        c.delay_follows(g);
    }
    {
        const Grid g = section_grid("leaves, faster");
        c.impact(g.start(), 0.95f, Am);
        c.pad(g, descent, 0.95f, 0.4f);
        c.bass(g, descent, BassStyle::pumping, 0.95f, 0.45f, 0.5);
        c.arp(g, descent, 0.25, 0.45f, 0.5f, 0.7f, falling, 0.5, 24);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true}, 0.5);
        c.delay_follows(g);
    }
    // Outro under the logo: the theme once more over a half-time groove
    // and a falling arpeggio, the drums leave, the last chord rings into
    // the final fade.
    {
        const Grid g = section_grid("outro");
        const Progression p{Am, F, C, G, Am, F, C, G, F, Am};
        c.impact(g.start(), 1.0f, Am);
        c.pad(g.slice(0, 9), p, 0.9f, 0.35f);
        c.held_chord(g.at(36.0), 247.5 - g.at(36.0), Am, 0.9f, 0.3f);
        c.bass(g.slice(0, 6), p, BassStyle::halves, 0.95f, 0.45f);
        c.bass(g.slice(6, 4), p, BassStyle::whole, 0.7f, 0.2f);
        c.arp(g.slice(0, 8), p, 0.25, 0.4f, 0.5f, 0.3f, falling);
        c.drums(g.slice(0, 6),
                {.kick = Kick::half,
                 .snare = true,
                 .clap = true,
                 .hats = 8,
                 .open_hats = true,
                 .half_time = true},
                0.0);
        c.drums(g.slice(6, 2), {.hats = 8, .level = 0.6f}, 0.0);
        c.melody(g, theme, 0.0, 0.85f, 0.5f);
        c.melody(g, answer, 16.0, 0.85f, 0.45f);
        c.bell_accents(g.slice(6, 4), p, 0.3f);
        c.score.bell.push_back({g.at(36.0), 2.0, 81.0, 0.35f, 0.4f, 0.0f});
        c.delay_follows(g);
    }

    s.master = {{0.0, 0.0},    {3.5, 1.0},    {106.8, 1.0}, {107.7, 0.0},
                {108.27, 0.0}, {108.28, 1.0}, {241.0, 1.0}, {247.5, 0.0}};
    std::sort(s.chords.begin(), s.chords.end(),
              [](const ChordSpan &a, const ChordSpan &b) { return a.start < b.start; });
    return s;
}

} // namespace synth
