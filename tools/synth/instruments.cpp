// Pitched voices: see instruments.h.
#include "instruments.h"

#include "filter.h"
#include "oscillator.h"

#include <algorithm>

namespace synth
{
namespace
{

// Calls voice(i, level, left, right) for every sample i of the note, from
// note-on through the release; the voice writes its two samples before the
// envelope (level is the envelope times the velocity, for voices that let it
// open a filter).
template <class Voice>
void render_enveloped(const Note &note, const AdsrSettings &env_settings, StereoBuffer &out, Voice &&voice)
{
    const std::size_t start = to_samples(note.time);
    const std::size_t gate = std::max<std::size_t>(1, to_samples(note.length));
    const std::size_t span = note_span(note, env_settings);
    const PanGains pan = pan_gains(note.pan);
    Adsr env(env_settings);
    env.gate_on();
    for (std::size_t i = 0; i < span && start + i < out.frames(); ++i) {
        if (i == gate)
            env.gate_off();
        const float e = env.next() * note.velocity;
        float l = 0.0f, r = 0.0f;
        voice(i, e, l, r);
        out.left[start + i] += l * e * pan.left;
        out.right[start + i] += r * e * pan.right;
    }
}

} // namespace

std::size_t note_span(const Note &note, const AdsrSettings &env)
{
    return std::max<std::size_t>(1, to_samples(note.length)) +
           std::max<std::size_t>(1, to_samples(env.release));
}

EnsemblePatch pad_patch()
{
    return {};
}

EnsemblePatch stab_patch()
{
    EnsemblePatch p;
    p.detune_cents = {-14.0, -5.0, 6.0, 15.0};
    p.envelope = {0.003, 0.35, 0.0, 0.2, 2.5};
    p.cutoff_hz = 600.0;
    p.cutoff_bright_hz = 1500.0;
    p.cutoff_env_hz = 3500.0;
    p.q = 1.1;
    p.sub_level = 0.4;
    p.level = 0.22;
    return p;
}

FmPatch pluck_patch()
{
    return {};
}

FmPatch bell_patch()
{
    FmPatch p;
    p.ratio = 3.5;
    p.index = 2.2;
    p.index_floor = 0.3;
    p.index_decay = 0.9;
    p.detune_cents = 3.0;
    p.envelope = {0.002, 3.0, 0.0, 1.5, 3.0};
    p.level = 0.22;
    return p;
}

FmPatch buzz_patch()
{
    FmPatch p;
    p.ratio = 1.0;
    p.index = 3.0;
    p.index_floor = 1.6;
    p.index_decay = 0.3;
    p.detune_cents = 7.0;
    p.envelope = {0.01, 0.2, 0.6, 0.12, 2.0};
    p.vibrato_hz = 6.5;
    p.vibrato_cents = 18.0;
    p.level = 0.16;
    return p;
}

void render_ensemble(const Note &note, const EnsemblePatch &patch, std::uint32_t seed, StereoBuffer &out)
{
    Noise phases(seed * 2654435761u + 12345u);
    const double hz = midi_to_hz(note.pitch);
    std::vector<Oscillator> saws;
    for (double cents : patch.detune_cents) {
        saws.emplace_back(Wave::saw, phases.unit());
        saws.back().set_frequency(hz * std::exp2(cents / 1200.0));
    }
    Oscillator sub(Wave::sine);
    sub.set_frequency(hz * 0.5);
    Svf filter_l, filter_r;
    const double base = patch.cutoff_hz + patch.cutoff_bright_hz * note.bright;
    const std::size_t half = saws.size() / 2;
    const float level = static_cast<float>(patch.level);
    render_enveloped(note, patch.envelope, out, [&](std::size_t i, float e, float &l, float &r) {
        if (i % 16 == 0) {
            const double fc = base + patch.cutoff_env_hz * e / std::max(note.velocity, 1e-3f);
            filter_l.set(fc, patch.q);
            filter_r.set(fc, patch.q);
        }
        float sl = 0.0f, sr = 0.0f;
        for (std::size_t k = 0; k < saws.size(); ++k) {
            const float v = saws[k].next();
            // Alternate sides, with a little of each in the other.
            if ((k < half) == (k % 2 == 0)) {
                sl += v;
                sr += 0.3f * v;
            } else {
                sr += v;
                sl += 0.3f * v;
            }
        }
        const float s =
            patch.sub_level > 0.0 ? sub.next() * static_cast<float>(patch.sub_level) * 2.0f : 0.0f;
        l = (filter_l.low(sl * 0.5f) + s) * level;
        r = (filter_r.low(sr * 0.5f) + s) * level;
    });
}

void render_fm(const Note &note, const FmPatch &patch, StereoBuffer &out)
{
    const double hz = midi_to_hz(note.pitch);
    const double spread = std::exp2(patch.detune_cents / 2400.0);
    Oscillator mod(Wave::sine);
    Oscillator car_l(Wave::sine), car_r(Wave::sine, 0.25);
    Oscillator vibrato(Wave::sine);
    vibrato.set_frequency(patch.vibrato_hz);
    const double decay = std::exp(-1.0 / (patch.index_decay * sample_rate));
    double index = patch.index * (0.35 + 0.65 * note.bright);
    const double floor = patch.index_floor;
    const float level = static_cast<float>(patch.level);
    render_enveloped(note, patch.envelope, out, [&](std::size_t, float, float &l, float &r) {
        const double vib =
            patch.vibrato_cents > 0.0 ? std::exp2(vibrato.next() * patch.vibrato_cents / 1200.0) : 1.0;
        const double f = hz * vib;
        mod.set_frequency(f * patch.ratio);
        car_l.set_frequency(f / spread);
        car_r.set_frequency(f * spread);
        // Phase modulation: the modulator shifts the carriers' phase by
        // index / 2pi cycles at its peak.
        const double m = mod.next() * (floor + index) / two_pi;
        index *= decay;
        l = car_l.next_sine_with_offset(m) * level;
        r = car_r.next_sine_with_offset(m) * level;
    });
}

void render_bass(const Note &note, StereoBuffer &out)
{
    const double hz = midi_to_hz(note.pitch);
    Oscillator saw(Wave::saw), saw2(Wave::saw, 0.37), sine(Wave::sine);
    saw.set_frequency(hz * std::exp2(-4.0 / 1200.0));
    saw2.set_frequency(hz * std::exp2(4.0 / 1200.0));
    sine.set_frequency(hz);
    Svf filter;
    const AdsrSettings env{0.006, 0.3, 0.75, 0.08, 2.0};
    const double pluck_decay = std::exp(-1.0 / (0.09 * sample_rate));
    double pluck = 1.0;
    const double base = 160.0 + 300.0 * note.bright;
    render_enveloped(note, env, out, [&](std::size_t i, float, float &l, float &r) {
        if (i % 16 == 0)
            filter.set(base + 900.0 * note.bright * pluck, 1.1);
        pluck *= pluck_decay;
        const float body = filter.low(0.5f * (saw.next() + saw2.next()));
        const float v = (0.55f * body + 0.5f * sine.next()) * 0.5f;
        l = v;
        r = v;
    });
}

void render_lead(const Note &note, StereoBuffer &out)
{
    const double hz = midi_to_hz(note.pitch);
    Oscillator a(Wave::saw), b(Wave::saw, 0.5), c(Wave::square, 0.25), vib(Wave::sine);
    vib.set_frequency(5.2);
    Svf filter_l(1800.0 + 1800.0 * note.bright, 0.9), filter_r(1800.0 + 1800.0 * note.bright, 0.9);
    const AdsrSettings env{0.03, 0.4, 0.7, 0.35, 1.5};
    const std::size_t vib_delay = to_samples(0.25);
    const double down = std::exp2(-6.0 / 1200.0), up = std::exp2(6.0 / 1200.0);
    render_enveloped(note, env, out, [&](std::size_t i, float, float &l, float &r) {
        const double depth = i < vib_delay ? 0.0 : std::min(1.0, (i - vib_delay) / (0.4 * sample_rate));
        // exp2 of a few cents, to first order: 2^x ~ 1 + x ln 2.
        const double f = hz * (1.0 + vib.next() * depth * 14.0 / 1200.0 * std::numbers::ln2);
        a.set_frequency(f * down);
        b.set_frequency(f * up);
        c.set_frequency(f * 0.5);
        const float va = a.next(), vb = b.next(), vc = c.next() * 0.35f;
        l = filter_l.low(0.6f * va + 0.25f * vb + vc) * 0.2f;
        r = filter_r.low(0.25f * va + 0.6f * vb + vc) * 0.2f;
    });
}

} // namespace synth
