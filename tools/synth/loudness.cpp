// Loudness and peak measurement: see loudness.h.
#include "loudness.h"

#include <algorithm>
#include <array>

namespace synth
{
namespace
{

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0.0, z2 = 0.0;
    double process(double x)
    {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages, designed for any rate from their analogue
// prototypes: a high shelf of about +4 dB above ~1.7 kHz (the head's
// acoustic effect) and a second-order high-pass near 38 Hz. At 48 kHz they
// give the published coefficients exactly.
std::array<Biquad, 2> k_weighting(double rate)
{
    std::array<Biquad, 2> f{};
    {
        const double gain_db = 3.999843853973347;
        const double q = 0.7071752369554196;
        const double k = std::tan(std::numbers::pi * 1681.974450955533 / rate);
        const double vh = std::pow(10.0, gain_db / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        f[0].b0 = (vh + vb * k / q + k * k) / a0;
        f[0].b1 = 2.0 * (k * k - vh) / a0;
        f[0].b2 = (vh - vb * k / q + k * k) / a0;
        f[0].a1 = 2.0 * (k * k - 1.0) / a0;
        f[0].a2 = (1.0 - k / q + k * k) / a0;
    }
    {
        const double q = 0.5003270373238773;
        const double k = std::tan(std::numbers::pi * 38.13547087602444 / rate);
        const double a0 = 1.0 + k / q + k * k;
        f[1].b0 = 1.0;
        f[1].b1 = -2.0;
        f[1].b2 = 1.0;
        f[1].a1 = 2.0 * (k * k - 1.0) / a0;
        f[1].a2 = (1.0 - k / q + k * k) / a0;
    }
    return f;
}

double to_lufs(double mean_square)
{
    return mean_square > 0.0 ? -0.691 + 10.0 * std::log10(mean_square) : -200.0;
}

} // namespace

std::vector<double> loudness_blocks(std::span<const float> left, std::span<const float> right, double rate)
{
    const std::size_t n = std::min(left.size(), right.size());
    const std::size_t step = static_cast<std::size_t>(std::llround(rate * 0.1));
    // Squared K-weighted samples summed per 100 ms step; a block is 4 steps.
    std::vector<double> step_energy(n / step, 0.0);
    for (auto channel : {left, right}) {
        auto f = k_weighting(rate);
        for (std::size_t i = 0; i < step_energy.size() * step; ++i) {
            const double y = f[1].process(f[0].process(channel[i]));
            step_energy[i / step] += y * y;
        }
    }
    std::vector<double> blocks;
    for (std::size_t b = 0; b + 4 <= step_energy.size(); ++b) {
        const double e = step_energy[b] + step_energy[b + 1] + step_energy[b + 2] + step_energy[b + 3];
        blocks.push_back(e / static_cast<double>(4 * step));
    }
    return blocks;
}

double integrated_loudness(std::span<const float> left, std::span<const float> right, double rate)
{
    const auto blocks = loudness_blocks(left, right, rate);
    const double absolute_gate = std::pow(10.0, (-70.0 + 0.691) / 10.0);
    double sum = 0.0;
    std::size_t count = 0;
    for (double b : blocks)
        if (b > absolute_gate) {
            sum += b;
            ++count;
        }
    if (count == 0)
        return -200.0;
    const double relative_gate = sum / static_cast<double>(count) * std::pow(10.0, -10.0 / 10.0);
    sum = 0.0;
    count = 0;
    for (double b : blocks)
        if (b > absolute_gate && b > relative_gate) {
            sum += b;
            ++count;
        }
    return to_lufs(sum / static_cast<double>(count));
}

double sample_peak_db(std::span<const float> left, std::span<const float> right)
{
    float peak = 0.0f;
    for (auto channel : {left, right})
        for (float v : channel)
            peak = std::max(peak, std::fabs(v));
    return peak > 0.0f ? gain_to_db(peak) : -200.0;
}

double true_peak_db(std::span<const float> left, std::span<const float> right)
{
    // Windowed-sinc interpolator: 3 phases between samples, 24 taps each.
    constexpr int half = 12;
    std::array<std::array<float, 2 * half>, 3> taps{};
    for (int p = 0; p < 3; ++p) {
        const double frac = (p + 1) / 4.0;
        for (int k = 0; k < 2 * half; ++k) {
            const double x = (k - half + 1) - frac; // distance from sample n-(half-1)+k
            const double sinc = std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
            const double w = 0.5 * (1.0 + std::cos(std::numbers::pi * x / (half + 0.5)));
            taps[p][k] = static_cast<float>(sinc * w);
        }
    }
    float peak = 0.0f;
    for (auto channel : {left, right}) {
        const std::size_t n = channel.size();
        for (std::size_t i = 0; i < n; ++i)
            peak = std::max(peak, std::fabs(channel[i]));
        for (std::size_t i = half; i + half < n; ++i) {
            for (int p = 0; p < 3; ++p) {
                float acc = 0.0f;
                for (int k = 0; k < 2 * half; ++k)
                    acc += taps[p][k] * channel[i - half + 1 + k];
                peak = std::max(peak, std::fabs(acc));
            }
        }
    }
    return peak > 0.0f ? gain_to_db(peak) : -200.0;
}

} // namespace synth
