// The synthesiser's building blocks against their definitions: pitch,
// aliasing, filter response, envelope timing, clicks, limiter ceiling,
// loudness calibration, delay and reverb.
#include "delay.h"
#include "drums.h"
#include "envelope.h"
#include "filter.h"
#include "instruments.h"
#include "limiter.h"
#include "loudness.h"
#include "oscillator.h"
#include "reverb.h"

#include <gtest/gtest.h>
#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace synth;

namespace
{

std::vector<float> run(Oscillator osc, double hz, std::size_t n)
{
    osc.set_frequency(hz);
    std::vector<float> out(n);
    for (auto &v : out)
        v = osc.next();
    return out;
}

// Rising zero crossings per second, interpolated at both ends.
double measured_frequency(const std::vector<float> &x)
{
    double first = -1.0, last = -1.0;
    int count = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double t = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0.0)
                first = t;
            else
                ++count;
            last = t;
        }
    }
    return count * sample_rate / (last - first);
}

double steady_gain_db(const std::function<double(double)> &filter, double hz)
{
    Oscillator osc(Wave::sine);
    osc.set_frequency(hz);
    const std::size_t settle = to_samples(0.2), n = to_samples(0.5);
    double in = 0.0, out = 0.0;
    for (std::size_t i = 0; i < settle + n; ++i) {
        const double x = osc.next();
        const double y = filter(x);
        if (i >= settle) {
            in += x * x;
            out += y * y;
        }
    }
    return 10.0 * std::log10(out / in);
}

// Share of a saw's energy that lies outside its own harmonics (aliases).
double alias_ratio_db(const std::vector<float> &x, double hz)
{
    const int n = static_cast<int>(x.size());
    kiss_fftr_cfg cfg = kiss_fftr_alloc(n, 0, nullptr, nullptr);
    std::vector<float> in(x.size());
    for (int i = 0; i < n; ++i)
        in[i] = x[i] * static_cast<float>(0.5 - 0.5 * std::cos(two_pi * i / n));
    std::vector<kiss_fft_cpx> bins(n / 2 + 1);
    kiss_fftr(cfg, in.data(), bins.data());
    kiss_fftr_free(cfg);
    double harmonic = 0.0, other = 0.0;
    const double bin_hz = sample_rate / n;
    for (int k = 1; k <= n / 2; ++k) {
        const double p = double(bins[k].r) * bins[k].r + double(bins[k].i) * bins[k].i;
        const double f = k * bin_hz;
        const double nearest = std::round(f / hz) * hz;
        (std::fabs(f - nearest) <= 4 * bin_hz ? harmonic : other) += p;
    }
    return 10.0 * std::log10(other / harmonic);
}

} // namespace

TEST(Oscillator, every_wave_runs_at_its_frequency)
{
    for (Wave w : {Wave::sine, Wave::saw, Wave::square}) {
        for (double hz : {55.0, 440.0, 1234.5, 3000.0}) {
            const double f = measured_frequency(run(Oscillator(w), hz, to_samples(2.0)));
            EXPECT_NEAR(f, hz, hz * 1e-4) << "wave " << static_cast<int>(w) << " at " << hz;
        }
    }
}

TEST(Oscillator, band_limited_saw_aliases_far_less_than_a_naive_one)
{
    const double hz = 2960.0;
    const auto blep = run(Oscillator(Wave::saw), hz, 65536);
    std::vector<float> naive(blep.size());
    for (std::size_t i = 0; i < naive.size(); ++i) {
        const double ph = std::fmod(i * hz / sample_rate, 1.0);
        naive[i] = static_cast<float>(2.0 * ph - 1.0);
    }
    const double blep_alias = alias_ratio_db(blep, hz);
    const double naive_alias = alias_ratio_db(naive, hz);
    EXPECT_LT(blep_alias, naive_alias - 10.0);
    EXPECT_LT(blep_alias, -24.0) << "naive: " << naive_alias;
    // The level stays right: the band-limited saw keeps the naive one's power.
    double pb = 0.0, pn = 0.0;
    for (std::size_t i = 0; i < naive.size(); ++i) {
        pb += blep[i] * blep[i];
        pn += naive[i] * naive[i];
    }
    EXPECT_NEAR(10.0 * std::log10(pb / pn), 0.0, 1.5);
}

TEST(Filter, state_variable_responses_meet_their_cutoff)
{
    for (double fc : {200.0, 1000.0, 5000.0}) {
        Svf low(fc, 0.7071), high(fc, 0.7071);
        auto lp = [&](double x) { return low.process(x).low; };
        auto hp = [&](double x) { return high.process(x).high; };
        EXPECT_NEAR(steady_gain_db(lp, fc), -3.01, 0.1) << fc;
        EXPECT_NEAR(steady_gain_db(lp, fc / 8.0), 0.0, 0.1) << fc;
        EXPECT_LT(steady_gain_db(lp, std::min(fc * 8.0, 20000.0)), -34.0) << fc;
        EXPECT_NEAR(steady_gain_db(hp, fc), -3.01, 0.1) << fc;
        EXPECT_NEAR(steady_gain_db(hp, std::min(fc * 8.0, 20000.0)), 0.0, 0.15) << fc;
        EXPECT_LT(steady_gain_db(hp, fc / 8.0), -34.0) << fc;
    }
    // Resonance: the peak grows with q.
    Svf res(1000.0, 4.0);
    EXPECT_NEAR(steady_gain_db([&](double x) { return res.process(x).low; }, 1000.0), 20.0 * std::log10(4.0),
                0.2);
}

TEST(Envelope, segments_end_exactly_on_time)
{
    Adsr env({0.01, 0.1, 0.5, 0.2, 2.0});
    env.gate_on();
    std::vector<double> level;
    for (std::size_t i = 0; i < to_samples(0.3); ++i) {
        env.next();
        level.push_back(env.level());
    }
    EXPECT_LT(level[to_samples(0.01) - 2], 1.0);
    EXPECT_DOUBLE_EQ(level[to_samples(0.01) - 1], 1.0);
    EXPECT_GT(level[to_samples(0.11) - 2], 0.5);
    EXPECT_DOUBLE_EQ(level[to_samples(0.11) - 1], 0.5);
    EXPECT_DOUBLE_EQ(level.back(), 0.5);
    env.gate_off();
    std::size_t n = 0;
    while (!env.finished()) {
        env.next();
        ++n;
    }
    EXPECT_EQ(n, to_samples(0.2));
    EXPECT_EQ(env.level(), 0.0);
}

TEST(Envelope, early_release_and_retrigger_never_jump)
{
    // Gate-off during the attack and a retrigger during the release both
    // continue from the level reached.
    Adsr env({0.05, 0.05, 0.8, 0.05, 3.0});
    env.gate_on();
    double prev = 0.0, worst = 0.0;
    for (int i = 0; i < 6000; ++i) {
        if (i == 1000)
            env.gate_off();
        if (i == 2000)
            env.gate_on();
        if (i == 3000)
            env.gate_off();
        const double v = env.next();
        worst = std::max(worst, std::fabs(v - prev));
        prev = v;
    }
    // Steepest legal slope: the 50 ms release from full level, curve 3.
    EXPECT_LT(worst, 3.0 / to_samples(0.05) + 1e-9);
    EXPECT_TRUE(env.finished());
}

TEST(Voices, notes_and_hits_start_and_end_on_silence)
{
    const std::size_t frames = to_samples(4.0);
    struct Case {
        const char *name;
        std::function<void(StereoBuffer &)> render;
        double end; // seconds: the voice must be silent from here on
    };
    const Note note{0.5, 0.6, 57.0, 1.0f, 0.8f, 0.2f};
    const std::vector<Case> cases{
        {"pad", [&](StereoBuffer &b) { render_ensemble(note, pad_patch(), 3, b); },
         0.5 + 0.6 + pad_patch().envelope.release},
        {"stab", [&](StereoBuffer &b) { render_ensemble(note, stab_patch(), 3, b); },
         0.5 + 0.6 + stab_patch().envelope.release},
        {"pluck", [&](StereoBuffer &b) { render_fm(note, pluck_patch(), b); },
         0.5 + 0.6 + pluck_patch().envelope.release},
        {"bell", [&](StereoBuffer &b) { render_fm(note, bell_patch(), b); },
         0.5 + 0.6 + bell_patch().envelope.release},
        {"buzz", [&](StereoBuffer &b) { render_fm(note, buzz_patch(), b); },
         0.5 + 0.6 + buzz_patch().envelope.release},
        {"bass", [&](StereoBuffer &b) { render_bass(note, b); }, 0.5 + 0.6 + 0.08},
        {"lead", [&](StereoBuffer &b) { render_lead(note, b); }, 0.5 + 0.6 + 0.35},
        {"kick", [](StereoBuffer &b) { render_drum(Drum::kick, 0.5, 1.0f, 1, b); },
         0.5 + drum_length(Drum::kick)},
        {"snare", [](StereoBuffer &b) { render_drum(Drum::snare, 0.5, 1.0f, 1, b); },
         0.5 + drum_length(Drum::snare)},
        {"clap", [](StereoBuffer &b) { render_drum(Drum::clap, 0.5, 1.0f, 1, b); },
         0.5 + drum_length(Drum::clap)},
        {"hat", [](StereoBuffer &b) { render_drum(Drum::hat, 0.5, 1.0f, 1, b); },
         0.5 + drum_length(Drum::hat)},
        {"open hat", [](StereoBuffer &b) { render_drum(Drum::open_hat, 0.5, 1.0f, 1, b); },
         0.5 + drum_length(Drum::open_hat)},
        {"crash", [](StereoBuffer &b) { render_drum(Drum::crash, 0.5, 1.0f, 1, b); },
         0.5 + drum_length(Drum::crash)},
        {"boom", [](StereoBuffer &b) { render_drum(Drum::boom, 0.5, 1.0f, 1, b); },
         0.5 + drum_length(Drum::boom)},
        {"riser", [](StereoBuffer &b) { render_riser(0.5, 1.0, 1.0f, 1, b); }, 1.5},
        {"swell", [](StereoBuffer &b) { render_swell(0.5, 1.0, 1.0f, 1, b); }, 1.5},
    };
    for (const auto &c : cases) {
        StereoBuffer b(frames);
        c.render(b);
        const std::size_t start = to_samples(0.5), end = to_samples(c.end);
        for (const auto *ch : {&b.left, &b.right}) {
            const auto &x = *ch;
            float peak = 0.0f;
            for (float v : x)
                peak = std::max(peak, std::fabs(v));
            ASSERT_GT(peak, 0.01f) << c.name;
            for (std::size_t i = 0; i < start; ++i)
                ASSERT_EQ(x[i], 0.0f) << c.name;
            for (std::size_t i = end; i < frames; ++i)
                ASSERT_EQ(x[i], 0.0f) << c.name << " sounds past its end at " << i;
            // Onset and ending ramps: no step out of or into silence.
            for (std::size_t i = start; i < start + 2; ++i)
                EXPECT_LT(std::fabs(x[i]), 0.05f * peak) << c.name << " clicks on at " << i;
            for (std::size_t i = end - 2; i < end; ++i)
                EXPECT_LT(std::fabs(x[i]), 0.05f * peak) << c.name << " clicks off at " << i;
        }
    }
}

TEST(Limiter, holds_the_ceiling_and_leaves_quiet_passages_alone)
{
    const std::size_t n = to_samples(3.0);
    StereoBuffer b(n);
    Oscillator osc(Wave::sine);
    osc.set_frequency(220.0);
    for (std::size_t i = 0; i < n; ++i) {
        const float v = osc.next();
        const bool loud = i >= to_samples(1.0) && i < to_samples(1.2);
        b.left[i] = v * (loud ? 4.0f : 0.3f);
        b.right[i] = v * 0.3f;
    }
    b.right[to_samples(2.0)] = 12.0f; // a lone spike
    const StereoBuffer in = b;
    const double ceiling = db_to_gain(-1.5);
    const double smallest = limit(b, {ceiling, 0.004, 0.1});
    for (std::size_t i = 0; i < n; ++i) {
        ASSERT_LE(std::fabs(b.left[i]), ceiling + 1e-6) << i;
        ASSERT_LE(std::fabs(b.right[i]), ceiling + 1e-6) << i;
    }
    EXPECT_LT(smallest, ceiling / 11.0);
    // Untouched far from the loud parts, and the stereo image is kept.
    for (std::size_t i : {to_samples(0.5), to_samples(1.7), to_samples(2.8)}) {
        EXPECT_NEAR(b.left[i], in.left[i], 1e-3) << i;
        EXPECT_NEAR(b.right[i], in.right[i], 1e-3) << i;
    }
    // Gain changes glide: no sample-to-sample gain step above the look-ahead ramp.
    double worst = 0.0;
    for (std::size_t i = to_samples(0.9); i < to_samples(1.3); ++i) {
        if (std::fabs(in.right[i]) > 0.1f && std::fabs(in.right[i - 1]) > 0.1f) {
            const double g0 = b.right[i - 1] / in.right[i - 1], g1 = b.right[i] / in.right[i];
            worst = std::max(worst, std::fabs(g1 - g0));
        }
    }
    EXPECT_LT(worst, 1.0 / to_samples(0.004) + 1e-3);
}

TEST(Loudness, reads_the_reference_tones_and_gates_quiet_parts)
{
    auto tone = [](std::vector<float> &x, double seconds, double dbfs) {
        Oscillator osc(Wave::sine);
        osc.set_frequency(1000.0);
        const float a = static_cast<float>(db_to_gain(dbfs));
        for (std::size_t i = 0; i < to_samples(seconds); ++i)
            x.push_back(osc.next() * a);
    };
    std::vector<float> x;
    tone(x, 20.0, -23.0);
    EXPECT_NEAR(integrated_loudness(x, x), -23.0, 0.1);
    EXPECT_NEAR(sample_peak_db(x, x), -23.0, 0.01);

    // Quiet passages below the relative gate do not pull the level down.
    std::vector<float> y;
    tone(y, 10.0, -36.0);
    tone(y, 60.0, -23.0);
    tone(y, 10.0, -36.0);
    EXPECT_NEAR(integrated_loudness(y, y), -23.0, 0.1);
    // One channel alone reads 3 dB lower.
    std::vector<float> silent(x.size(), 0.0f);
    EXPECT_NEAR(integrated_loudness(x, silent), -26.0, 0.1);
    EXPECT_LE(integrated_loudness(silent, silent), -199.0);
}

TEST(Loudness, true_peak_sees_between_the_samples)
{
    // A quarter-rate sine sampled at 45 and 135 degrees: samples at 0.707,
    // the wave itself at 1.
    std::vector<float> x(4096);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<float>(std::sin(two_pi * (i / 4.0 + 0.125)));
    EXPECT_NEAR(sample_peak_db(x, x), -3.01, 0.05);
    EXPECT_NEAR(true_peak_db(x, x), 0.0, 0.2);
}

TEST(Effects, delay_echoes_alternate_sides_and_decay)
{
    StereoDelay d({0.1, 0.5, 20000.0});
    const std::size_t step = to_samples(0.1);
    std::vector<float> l(5 * step), r(5 * step);
    for (std::size_t i = 0; i < l.size(); ++i)
        d.process(i == 0 ? 1.0f : 0.0f, i == 0 ? 1.0f : 0.0f, l[i], r[i]);
    auto peak_at = [&](const std::vector<float> &x, std::size_t at) {
        float p = 0.0f;
        for (std::size_t i = at - 3; i < at + 30; ++i)
            p = std::max(p, std::fabs(x[i]));
        return p;
    };
    EXPECT_GT(peak_at(l, step), 0.5f);
    EXPECT_LT(peak_at(r, step), 1e-6f);
    EXPECT_GT(peak_at(r, 2 * step), 0.2f);
    EXPECT_LT(peak_at(l, 2 * step), 1e-6f);
    EXPECT_LT(peak_at(l, 3 * step), peak_at(l, step));
    d.clear();
    float a, b;
    for (std::size_t i = 0; i < 2 * step; ++i) {
        d.process(0.0f, 0.0f, a, b);
        ASSERT_EQ(a, 0.0f);
        ASSERT_EQ(b, 0.0f);
    }
}

TEST(Effects, delay_time_follows_set_time_between_samples_and_within_the_line)
{
    // Echo time changed before the impulse: the first echo comes at the new
    // time, at a fraction of a sample spread over its two neighbours.
    StereoDelay d({0.1, 0.0, 20000.0, 0.3});
    d.set_time(0.2 + 0.5 / sample_rate);
    const std::size_t step = to_samples(0.2);
    std::vector<float> l(2 * step);
    float r;
    for (std::size_t i = 0; i < l.size(); ++i)
        d.process(i == 0 ? 1.0f : 0.0f, i == 0 ? 1.0f : 0.0f, l[i], r);
    const auto loudest =
        std::max_element(l.begin(), l.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    const auto at = static_cast<std::size_t>(loudest - l.begin());
    EXPECT_TRUE(at == step || at == step + 1) << at;
    EXPECT_NEAR(l[step] + l[step + 1], *loudest * 2.0f, 0.1f);
    EXPECT_NEAR(l[step], l[step + 1], 0.1f);

    // Longer than the line holds: clamped, never reading outside it.
    StereoDelay short_line({0.05, 0.5, 20000.0});
    short_line.set_time(10.0);
    std::vector<float> out(to_samples(0.2));
    for (std::size_t i = 0; i < out.size(); ++i)
        short_line.process(i == 0 ? 1.0f : 0.0f, 0.0f, out[i], r);
    EXPECT_GT(*std::max_element(out.begin(), out.begin() + long(to_samples(0.06))), 0.1f);
}

TEST(Effects, reverb_tail_decays_and_clears)
{
    Reverb rev({0.84, 0.35, 1.0});
    const std::size_t n = to_samples(4.0);
    std::vector<double> energy(4, 0.0);
    double diff = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        float l, r;
        rev.process(i == 0 ? 1.0f : 0.0f, l, r);
        energy[i / to_samples(1.0)] += double(l) * l + double(r) * r;
        diff += std::fabs(l - r);
    }
    EXPECT_GT(energy[0], 1e-4);
    EXPECT_LT(energy[1], energy[0] * 0.3);
    EXPECT_LT(energy[3], energy[0] * 1e-3);
    EXPECT_GT(diff, 1e-3); // the two sides differ: width
    rev.clear();
    for (int i = 0; i < 5000; ++i) {
        float l, r;
        rev.process(0.0f, l, r);
        ASSERT_EQ(l, 0.0f);
        ASSERT_EQ(r, 0.0f);
    }
}
