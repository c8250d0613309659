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

namespace synth
{
namespace
{

struct Chord {
    int root;                 // bass note (MIDI)
    std::array<int, 4> tones; // pad voicing
};

const Chord Am{45, {57, 60, 64, 71}};
const Chord F{41, {53, 57, 60, 64}};
const Chord C{48, {52, 55, 60, 67}};
const Chord G{43, {55, 59, 62, 67}};
const Chord Em{40, {52, 55, 59, 64}};
const Chord Dm{38, {53, 57, 62, 65}};
const Chord E{40, {52, 56, 59, 64}};
const Chord Gm{43, {55, 59, 62, 64}}; // G6 (no F#): the descent's second chord

using Progression = std::vector<Chord>;

// Beats of a section, fitted so that `bars` bars fill it exactly.
struct Grid {
    double start;
    double end;
    int bars;
    double beat() const { return (end - start) / (bars * 4.0); }
    double at(double beats) const { return start + beats * beat(); }
    const Chord &chord(const Progression &p, int bar) const
    {
        return p[static_cast<std::size_t>(bar) % p.size()];
    }
};

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

enum class Kick { none, half, four };

struct Kit {
    Kick kick = Kick::none;
    bool snare = false;
    bool clap = false;
    int hats = 0; // 0, 8 or 16 per bar
    bool open_hats = false;
    float level = 1.0f;
};

class Composer
{
  public:
    Score score;

    void pad(const Grid &g, const Progression &p, float vel, float bright, double overlap = 0.15)
    {
        for (int bar = 0; bar < g.bars; ++bar) {
            const Chord &c = g.chord(p, bar);
            const double t0 = g.at(bar * 4.0);
            const double len = g.at(bar * 4.0 + 4.0) - t0 - (bar + 1 == g.bars ? 0.0 : -overlap);
            for (std::size_t k = 0; k < c.tones.size(); ++k)
                score.pad.push_back(
                    {t0, len, static_cast<double>(c.tones[k]), vel, bright, k % 2 ? 0.3f : -0.3f});
        }
    }

    void held_chord(double t0, double len, const Chord &c, float vel, float bright)
    {
        for (std::size_t k = 0; k < c.tones.size(); ++k)
            score.pad.push_back(
                {t0, len, static_cast<double>(c.tones[k]), vel, bright, k % 2 ? 0.3f : -0.3f});
        score.pad.push_back({t0, len, static_cast<double>(c.root + 12), vel * 0.7f, bright, 0.0f});
    }

    // Bass: whole notes (step 4), or root on the one plus off-beat eighths.
    void bass(const Grid &g, const Progression &p, double step, float vel, float bright, double gap = 0.0)
    {
        const double end = g.bars * 4.0 - gap;
        for (int bar = 0; bar < g.bars; ++bar) {
            const int root = g.chord(p, bar).root;
            if (step >= 4.0) {
                const double b0 = bar * 4.0;
                score.bass.push_back(
                    {g.at(b0), (std::min(b0 + 4.0, end) - b0) * g.beat() - 0.03, double(root), vel, bright});
                continue;
            }
            for (double b = 0; b < 4.0; b += step) {
                const double beat = bar * 4.0 + b;
                if (beat >= end)
                    break;
                const bool on = b == 0.0;
                const bool off = std::fmod(b, 1.0) != 0.0;
                if (step == 0.5 && !on && !off)
                    continue; // pumping: the one, then the off-beats
                const double len = std::min(step * 0.8, end - beat) * g.beat();
                score.bass.push_back({g.at(beat), len, double(root + (b == 3.5 && bar % 2 ? 12 : 0)),
                                      vel * (on ? 1.0f : 0.85f), bright});
            }
        }
    }

    // Arpeggio over the pad voicing plus its top octave.
    void arp(const Grid &g, const Progression &p, double step, float vel, float bright0, float bright1,
             bool falling = false, double gap = 0.0, int transpose = 12)
    {
        static constexpr std::array<int, 8> up{0, 2, 4, 2, 1, 3, 4, 3};
        static constexpr std::array<int, 8> down{4, 3, 2, 1, 3, 2, 1, 0};
        const double end = g.bars * 4.0 - gap;
        int i = 0;
        for (double beat = 0.0; beat < end - 1e-9; beat += step, ++i) {
            const int bar = static_cast<int>(beat / 4.0);
            const Chord &c = g.chord(p, bar);
            const std::array<int, 5> notes{c.tones[0], c.tones[1], c.tones[2], c.tones[3], c.tones[0] + 12};
            const int idx = (falling ? down : up)[static_cast<std::size_t>(i) % 8];
            const float x = static_cast<float>(beat / (g.bars * 4.0));
            const float accent = std::fmod(beat, 1.0) == 0.0 ? 1.0f : 0.8f;
            const float pan = (i % 2 ? 0.35f : -0.35f);
            score.pluck.push_back({g.at(beat), step * g.beat() * 0.6,
                                   double(notes[static_cast<std::size_t>(idx)] + transpose), vel * accent,
                                   bright0 + (bright1 - bright0) * x, pan});
        }
    }

    void melody(const Grid &g, const std::vector<MelodyNote> &m, double offset_beats, float vel, float bright,
                int transpose = 0)
    {
        for (const auto &n : m)
            score.lead.push_back({g.at(offset_beats + n.beat), n.beats * g.beat() * 0.92,
                                  double(n.pitch + transpose), vel, bright});
    }

    void bells(const Grid &g, const std::vector<MelodyNote> &m, double offset_beats, float vel,
               int transpose = 0)
    {
        for (const auto &n : m)
            score.bell.push_back({g.at(offset_beats + n.beat), n.beats * g.beat() * 0.5,
                                  double(n.pitch + transpose), vel, 0.5f, n.pitch % 2 ? 0.4f : -0.4f});
    }

    // Sparse bells on chord tones: beats 0 and 2.5 of each bar.
    void bell_accents(const Grid &g, const Progression &p, float vel)
    {
        for (int bar = 0; bar < g.bars; ++bar) {
            const Chord &c = g.chord(p, bar);
            score.bell.push_back({g.at(bar * 4.0), g.beat(), double(c.tones[3] + 12), vel, 0.4f, -0.4f});
            score.bell.push_back(
                {g.at(bar * 4.0 + 2.5), g.beat(), double(c.tones[2] + 12), vel * 0.8f, 0.4f, 0.4f});
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
                score.buzz.push_back({g.at(beat), 0.35 * g.beat(), double(c.root + 24 + interval),
                                      vel * (k % 2 ? 0.8f : 1.0f), 0.6f, (k % 2 ? 0.25f : -0.25f)});
            }
        }
    }

    void drums(const Grid &g, const Kit &kit, double gap = 0.5, int from_bar = 0, int to_bar = -1)
    {
        const int last = to_bar < 0 ? g.bars : to_bar;
        const double end = g.bars * 4.0 - gap;
        const float v = kit.level;
        for (int bar = from_bar; bar < last; ++bar) {
            for (int s = 0; s < 16; ++s) {
                const double beat = bar * 4.0 + s * 0.25;
                if (beat >= end - 1e-9)
                    break;
                const double t = g.at(beat);
                const bool on_beat = s % 4 == 0;
                if (on_beat && (kit.kick == Kick::four || (kit.kick == Kick::half && s % 8 == 0)))
                    hit(Drum::kick, t, 0.95f * v);
                if ((s == 4 || s == 12) && kit.snare)
                    hit(Drum::snare, t, 0.55f * v);
                if ((s == 4 || s == 12) && kit.clap)
                    hit(Drum::clap, t, 0.4f * v);
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
        {0.0, 21.9, 8, "rise"},
        {21.9, 27.2, 2, "first orbit"},
        {27.2, 32.4, 2, "second cut"},
        {32.4, 37.7, 2, "third cut"},
        {37.7, 43.0, 2, "fourth cut, rising"},
        {43.0, 87.1, 17, "main groove"},
        {87.1, 88.2, 1, "stop"},
        {88.2, 106.8, 7, "tilted city"},
        {106.8, 108.28, 1, "silence"},
        {108.28, 115.6, 3, "triple stab, swell"},
        {115.6, 138.8, 9, "the city rises"},
        {138.8, 148.9, 4, "breakdown"},
        {148.9, 165.2, 6, "build"},
        {165.2, 169.1, 1, "break"},
        {169.1, 194.7, 10, "insect"},
        {194.7, 204.7, 4, "leaves"},
        {204.7, 214.7, 4, "leaves, faster"},
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

Score compose_song()
{
    Composer c;
    Score &s = c.score;
    s.length = 252.0;
    const Progression main{Am, F, C, G};

    // Rise from black: pad and bells, a low bass note from bar 4, a swell
    // into the first cut.
    {
        const Grid g{0.0, 21.9, 8};
        c.pad(g, {Am, Am, F, F, Am, Am, F, G}, 0.6f, 0.1f);
        for (int bar = 2; bar < 8; ++bar)
            c.bell_accents(Grid{g.at(bar * 4.0), g.at(bar * 4.0 + 4.0), 1}, {bar % 4 < 2 ? Am : F},
                           0.25f + 0.05f * (bar - 2));
        c.bass(Grid{g.at(16.0), g.end, 4}, {Am, Am, F, G}, 4.0, 0.5f, 0.1f);
        c.swell(g.end - 2.5, g.end - gap_s, 0.7f);
    }
    // Four cuts, two bars each, one layer more every time.
    {
        const Grid g1{21.9, 27.2, 2}, g2{27.2, 32.4, 2}, g3{32.4, 37.7, 2}, g4{37.7, 43.0, 2};
        c.impact(g1.start, 0.7f, Am);
        c.pad(g1, {Am, F}, 0.9f, 0.15f);
        c.bass(g1, {Am, F}, 4.0, 0.75f, 0.15f, 0.25);
        c.arp(g1, {Am, F}, 0.5, 0.35f, 0.1f, 0.25f, false, 0.25);

        c.impact(g2.start, 0.75f, C);
        c.pad(g2, {C, G}, 0.9f, 0.2f);
        c.bass(g2, {C, G}, 4.0, 0.8f, 0.2f, 0.25);
        c.arp(g2, {C, G}, 0.5, 0.4f, 0.25f, 0.35f, false, 0.25);
        c.drums(g2, {.hats = 8, .level = 0.7f}, 0.25);

        c.impact(g3.start, 0.8f, Am);
        c.pad(g3, {Am, F}, 0.95f, 0.25f);
        c.bass(g3, {Am, F}, 0.5, 0.8f, 0.25f, 0.25);
        c.arp(g3, {Am, F}, 0.5, 0.45f, 0.3f, 0.45f, false, 0.25);
        c.drums(g3, {.kick = Kick::half, .hats = 8, .level = 0.8f}, 0.25);

        c.impact(g4.start, 0.85f, Dm);
        c.pad(g4, {Dm, E}, 1.0f, 0.3f);
        c.bass(g4, {Dm, E}, 0.5, 0.85f, 0.3f, 0.5);
        c.arp(g4, {Dm, E}, 0.25, 0.4f, 0.35f, 0.7f, false, 0.5);
        c.drums(g4, {.kick = Kick::half, .snare = true, .hats = 16, .level = 0.85f}, 0.5, 0, 1);
        c.roll(g4, 4.0, 7.5, 0.25, 0.25f, 0.75f);
        c.riser(g4.start, g4.end - gap_s, 0.8f);
    }
    // The main groove, lead from bar 8.
    {
        const Grid g{43.0, 87.1, 17};
        c.impact(g.start, 1.0f, Am);
        c.pad(g, main, 0.9f, 0.35f);
        c.bass(g, main, 0.5, 1.0f, 0.45f, 0.5);
        c.arp(g, main, 0.25, 0.45f, 0.45f, 0.6f, false, 0.5);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = false, .hats = 16, .open_hats = false}, 0.5, 0,
                4);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true}, 0.5, 4);
        c.melody(g, theme, 32.0, 0.9f, 0.4f);
        c.melody(g, answer, 48.0, 0.9f, 0.5f);
        c.hit(Drum::crash, g.at(32.0), 0.5f);
    }
    // Stop: a last hit, then a swell into the tilted city.
    {
        c.impact(87.1, 0.9f, Am, true);
        c.held_chord(87.1, 0.9, F, 0.5f, 0.2f);
        c.swell(87.35, 88.2 - gap_s, 0.6f);
    }
    {
        const Grid g{88.2, 106.8, 7};
        const Progression p{F, G, Am, Am, F, G, Em};
        c.impact(g.start, 0.95f, F);
        c.pad(g, p, 0.9f, 0.4f);
        c.bass(g, p, 0.5, 1.0f, 0.5f, 0.0);
        c.arp(g, p, 0.25, 0.45f, 0.55f, 0.7f);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true}, 0.0);
        c.melody(g, tilted, 0.0, 0.9f, 0.55f);
    }
    // Silence, then the triple stab and a swell back up.
    s.fx_clear_times.push_back(108.27);
    {
        const Grid g{108.28, 115.6, 3};
        for (int k = 0; k < 3; ++k)
            c.stab(g.at(k * 0.25), 0.08, Am, 0.8f);
        c.impact(g.start, 1.0f, Am, true);
        c.pad(Grid{g.at(1.0), g.end, 2}, {F, E}, 0.9f, 0.3f);
        c.bass(Grid{g.at(4.0), g.end, 2}, {F, E}, 4.0, 0.7f, 0.2f, 0.5);
        c.arp(Grid{g.at(4.0), g.end, 2}, {F, E}, 0.25, 0.35f, 0.2f, 0.8f, false, 0.5);
        c.drums(g, {.kick = Kick::four, .hats = 8, .level = 0.8f}, 0.5, 2);
        c.roll(g, 8.0, 11.5, 0.25, 0.3f, 0.8f);
        c.riser(g.at(2.0), g.end - gap_s, 0.9f);
    }
    // The city rises: the full groove with the theme an octave up.
    {
        const Grid g{115.6, 138.8, 9};
        c.impact(g.start, 1.0f, Am);
        c.pad(g, main, 0.95f, 0.45f);
        c.bass(g, main, 0.5, 1.0f, 0.55f, 0.5);
        c.arp(g, main, 0.25, 0.5f, 0.6f, 0.75f, false, 0.5);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true}, 0.5);
        c.melody(g, theme, 0.0, 0.85f, 0.6f);
        c.melody(g, answer, 16.0, 0.85f, 0.7f);
        c.bell_accents(g, main, 0.3f);
    }
    // Breakdown: no drums, bells over a slow descent.
    {
        const Grid g{138.8, 148.9, 4};
        const Progression p{F, Em, Dm, E};
        c.impact(g.start, 0.7f, F);
        c.pad(g, p, 0.6f, 0.2f);
        c.bass(g, p, 4.0, 0.45f, 0.1f, 0.0);
        c.arp(g, p, 0.5, 0.25f, 0.15f, 0.2f);
        c.bells(g, chimes, 0.0, 0.45f);
        c.swell(g.end - 1.6, g.end - gap_s, 0.6f);
    }
    // Build: four on the floor, hats doubling, a roll and a riser, the
    // arpeggio's filter opening all the way.
    {
        const Grid g{148.9, 165.2, 6};
        const Progression p{Am, F, C, G, Dm, E};
        c.impact(g.start, 0.9f, Am);
        c.pad(g, p, 0.9f, 0.3f);
        c.bass(g, p, 0.5, 0.9f, 0.3f, 0.5);
        c.arp(g, p, 0.25, 0.45f, 0.2f, 1.0f, false, 0.5);
        c.drums(g, {.kick = Kick::four, .hats = 8, .level = 0.85f}, 0.5, 0, 2);
        c.drums(g, {.kick = Kick::four, .hats = 16, .level = 0.9f}, 0.5, 2, 4);
        c.drums(g, {.kick = Kick::four, .hats = 16}, 0.5, 4);
        c.roll(g, 16.0, 20.0, 0.5, 0.3f, 0.5f);
        c.roll(g, 20.0, 23.5, 0.25, 0.5f, 0.9f);
        c.riser(g.at(8.0), g.end - gap_s, 1.0f);
    }
    // Break: one hit, a held chord, a swell into the insect.
    {
        c.impact(165.2, 0.9f, E, true);
        c.held_chord(165.2, 2.2, E, 0.7f, 0.25f);
        c.score.bell.push_back({165.2, 0.5, 88.0, 0.4f, 0.5f, 0.0f});
        c.swell(167.4, 169.1 - gap_s, 0.8f);
    }
    // The insect: everything, with the buzzing riff.
    {
        const Grid g{169.1, 194.7, 10};
        const Progression p{Am, F, C, G, Am, F, C, G, Dm, E};
        c.impact(g.start, 1.0f, Am);
        c.pad(g, p, 0.95f, 0.45f);
        c.bass(g, p, 0.5, 1.0f, 0.6f, 0.5);
        c.arp(g, p, 0.25, 0.4f, 0.6f, 0.8f, false, 0.5);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true}, 0.5);
        c.buzz(g, p, 0.9f, 0.5);
        c.melody(g, theme, 16.0, 0.6f, 0.6f, 12);
    }
    // Leaves: the descent, falling arpeggios, no kick.
    const Progression descent{Am, Gm, F, E};
    {
        const Grid g{194.7, 204.7, 4};
        c.impact(g.start, 0.8f, Am);
        c.pad(g, descent, 0.75f, 0.3f);
        c.bass(g, descent, 2.0, 0.65f, 0.3f, 0.25);
        c.arp(g, descent, 0.5, 0.45f, 0.4f, 0.5f, true, 0.25, 24);
        c.drums(g, {.hats = 8, .level = 0.7f}, 0.25);
        c.bells(g, {{0, 1, 84}, {4, 1, 83}, {8, 1, 81}, {12, 1, 80}}, 0.0, 0.35f);
    }
    {
        const Grid g{204.7, 214.7, 4};
        c.impact(g.start, 0.95f, Am);
        c.pad(g, descent, 0.95f, 0.4f);
        c.bass(g, descent, 0.5, 0.95f, 0.45f, 0.5);
        c.arp(g, descent, 0.25, 0.45f, 0.5f, 0.7f, true, 0.5, 24);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true}, 0.5);
    }
    // Outro under the logo: the theme once more, the drums leave, the
    // last chord rings into the final fade.
    {
        const Grid g{214.7, 241.0, 10};
        const Progression p{Am, F, C, G, Am, F, C, G, F, Am};
        c.impact(g.start, 1.0f, Am);
        c.pad(Grid{g.start, g.at(36.0), 9}, p, 0.9f, 0.35f);
        c.held_chord(g.at(36.0), 247.5 - g.at(36.0), Am, 0.9f, 0.3f);
        c.bass(Grid{g.start, g.at(24.0), 6}, p, 0.5, 0.95f, 0.45f, 0.0);
        c.bass(Grid{g.at(24.0), g.end, 4}, {G, F, Am, Am}, 4.0, 0.7f, 0.2f, 0.0);
        c.arp(Grid{g.start, g.at(32.0), 8}, p, 0.25, 0.4f, 0.5f, 0.3f);
        c.drums(g, {.kick = Kick::four, .snare = true, .clap = true, .hats = 16, .open_hats = true}, 0.0, 0,
                6);
        c.drums(g, {.hats = 8, .level = 0.6f}, 0.0, 6, 8);
        c.melody(g, theme, 0.0, 0.85f, 0.5f);
        c.melody(g, answer, 16.0, 0.85f, 0.45f);
        c.bell_accents(Grid{g.at(24.0), g.end, 4}, {C, G, F, Am}, 0.3f);
        c.score.bell.push_back({g.at(36.0), 2.0, 81.0, 0.35f, 0.4f, 0.0f});
    }

    s.master = {{0.0, 0.0},    {3.5, 1.0},    {106.8, 1.0}, {107.7, 0.0},
                {108.27, 0.0}, {108.28, 1.0}, {241.0, 1.0}, {247.5, 0.0}};
    return s;
}

} // namespace synth
