// Drum and effect voices: see drums.h.
#include "drums.h"

#include "filter.h"
#include "oscillator.h"

#include <algorithm>
#include <array>

namespace synth
{
namespace
{

// Fades the first half millisecond and the last `tail` share of a hit of n
// samples (at least 6 ms), so that it starts from silence and its tail
// melts away instead of being cut.
double edge_gain(std::size_t i, std::size_t n, double tail)
{
    const double in = std::min(1.0, static_cast<double>(i) / (0.0005 * sample_rate));
    const double taper = std::max(0.006 * sample_rate, tail * static_cast<double>(n));
    const double left = std::min(1.0, static_cast<double>(n - i) / taper);
    return in * 0.5 * (1.0 - std::cos(std::numbers::pi * left));
}

// Six square waves at inharmonic ratios: the metal of hats and cymbals.
class Metal
{
  public:
    explicit Metal(double base_hz)
    {
        constexpr std::array<double, 6> ratios{1.0, 1.483, 1.932, 2.546, 2.630, 3.897};
        for (std::size_t k = 0; k < 6; ++k) {
            osc_[k] = Oscillator(Wave::square, 0.1 * static_cast<double>(k));
            osc_[k].set_frequency(base_hz * ratios[k]);
        }
    }
    float next()
    {
        float s = 0.0f;
        for (auto &o : osc_)
            s += o.next();
        return s / 6.0f;
    }

  private:
    std::array<Oscillator, 6> osc_;
};

// exp(-t / tau) at t = 0, 1/rate, 2/rate, ... by repeated multiplication.
class Decay
{
  public:
    explicit Decay(double tau) : k_(std::exp(-1.0 / (tau * sample_rate))) {}
    double next()
    {
        const double v = v_;
        v_ *= k_;
        return v;
    }

  private:
    double k_;
    double v_ = 1.0;
};

// Drums decay on their own: the last quarter fades. Sweeps end at full
// strength: only a short fade.
constexpr double drum_tail = 0.25;
constexpr double sweep_tail = 0.0;

template <class Voice> void add_hit(double time, double length, double tail, StereoBuffer &out, Voice &&voice)
{
    const std::size_t start = to_samples(time);
    const std::size_t n = to_samples(length);
    for (std::size_t i = 0; i < n && start + i < out.frames(); ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        float l = 0.0f, r = 0.0f;
        voice(t, l, r);
        const float e = static_cast<float>(edge_gain(i, n, tail));
        out.left[start + i] += l * e;
        out.right[start + i] += r * e;
    }
}

} // namespace

double drum_length(Drum drum)
{
    switch (drum) {
    case Drum::kick:
        return 0.55;
    case Drum::snare:
        return 0.35;
    case Drum::clap:
        return 0.4;
    case Drum::hat:
        return 0.09;
    case Drum::open_hat:
        return 0.45;
    case Drum::crash:
        return 2.6;
    case Drum::boom:
        return 2.2;
    }
    return 0.1;
}

void render_drum(Drum drum, double time, float v, std::uint32_t seed, StereoBuffer &out)
{
    Noise noise(seed * 747796405u + 2891336453u);
    const double len = drum_length(drum);
    switch (drum) {
    case Drum::kick: {
        // A sine falling from ~170 Hz to 46 Hz, a soft noise click on top.
        double phase = 0.0;
        Svf click(3000.0, 0.7);
        Decay sweep(0.032), body_env(0.22), click_env(0.004);
        add_hit(time, len, drum_tail, out, [&](double, float &l, float &r) {
            const double hz = 46.0 + 125.0 * sweep.next();
            phase += hz / sample_rate;
            const double body = sine_of_cycles(phase) * body_env.next();
            const double c = click.band(noise.next()) * click_env.next() * 0.25;
            l = r = static_cast<float>((body + c) * 0.7 * v);
        });
        break;
    }
    case Drum::boom: {
        double phase = 0.0;
        Decay sweep(0.12), env(0.7);
        add_hit(time, len, drum_tail, out, [&](double, float &l, float &r) {
            const double hz = 38.0 + 50.0 * sweep.next();
            phase += hz / sample_rate;
            l = r = static_cast<float>(sine_of_cycles(phase) * env.next() * 0.6 * v);
        });
        break;
    }
    case Drum::snare: {
        double phase = 0.0;
        Svf band(2000.0, 0.6), high(900.0, 0.7);
        Decay sweep(0.02), tone_env(0.05), noise_env(0.09);
        add_hit(time, len, drum_tail, out, [&](double, float &l, float &r) {
            const double hz = 175.0 + 60.0 * sweep.next();
            phase += hz / sample_rate;
            const double tone = sine_of_cycles(phase) * tone_env.next() * 0.45;
            const double n = high.high(band.band(noise.next())) * noise_env.next() * 1.3;
            l = r = static_cast<float>((tone + n) * 0.5 * v);
        });
        break;
    }
    case Drum::clap: {
        Svf band(1250.0, 1.6);
        add_hit(time, len, drum_tail, out, [&](double t, float &l, float &r) {
            // Three quick bursts, then a tail: several hands, not one.
            double e = std::exp(-t / 0.11) * 0.6;
            for (int k = 0; k < 3; ++k) {
                const double tk = t - 0.011 * k;
                if (tk >= 0.0)
                    e = std::max(e, std::exp(-tk / 0.006));
            }
            const float n = band.band(noise.next());
            l = static_cast<float>(n * e * 1.4 * v);
            r = l;
        });
        break;
    }
    case Drum::hat:
    case Drum::open_hat: {
        Metal metal(320.0);
        Svf band(9000.0, 0.9), high(7000.0, 0.7);
        const double tau = drum == Drum::hat ? 0.025 : 0.16;
        Decay env(tau);
        add_hit(time, len, drum_tail, out, [&](double, float &l, float &r) {
            const float src = 0.6f * metal.next() + 0.5f * noise.next();
            const float s = high.high(band.band(src));
            l = r = static_cast<float>(s * env.next() * 0.55 * v);
        });
        break;
    }
    case Drum::crash: {
        Metal metal_l(410.0), metal_r(433.0);
        Svf high_l(4500.0, 0.6), high_r(4700.0, 0.6);
        Noise noise_r(seed * 1664525u + 1013904223u);
        Decay env(0.6);
        add_hit(time, len, drum_tail, out, [&](double, float &l, float &r) {
            const double e = env.next() * 0.3;
            l = static_cast<float>(high_l.high(0.4f * metal_l.next() + noise.next()) * e * v);
            r = static_cast<float>(high_r.high(0.4f * metal_r.next() + noise_r.next()) * e * v);
        });
        break;
    }
    }
}

void render_riser(double start, double length, float velocity, std::uint32_t seed, StereoBuffer &out)
{
    Noise nl(seed + 17u), nr(seed + 91u);
    Svf fl, fr;
    std::size_t i = 0;
    add_hit(start, length, sweep_tail, out, [&](double t, float &l, float &r) {
        const double x = t / length;
        if (i++ % 16 == 0) {
            const double fc = 300.0 * std::pow(8000.0 / 300.0, x);
            fl.set(fc, 2.5);
            fr.set(fc * 1.04, 2.5);
        }
        const double g = x * x * 0.35 * velocity;
        l = static_cast<float>(fl.band(nl.next()) * g);
        r = static_cast<float>(fr.band(nr.next()) * g);
    });
}

void render_swell(double start, double length, float velocity, std::uint32_t seed, StereoBuffer &out)
{
    Noise nl(seed + 5u), nr(seed + 77u);
    Svf hl(3000.0, 0.6), hr(3200.0, 0.6);
    add_hit(start, length, sweep_tail, out, [&](double t, float &l, float &r) {
        const double g = std::exp(-(length - t) / (0.3 * length)) * 0.35 * velocity;
        l = static_cast<float>(hl.high(nl.next()) * g);
        r = static_cast<float>(hr.high(nr.next()) * g);
    });
}

} // namespace synth
