// Our real FFT against kissfft (the desktop's) and a direct DFT in double,
// on Hann-windowed windows of the spectrum's length.
#include "sound/real_fft.h"
#include "sound/spectrum.h"

#include <kissfft/kiss_fftr.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>
#include <vector>

namespace
{

std::vector<float> hann_windowed(std::vector<float> s)
{
    for (std::size_t n = 0; n < s.size(); ++n)
        s[n] *= static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(n) /
                                                        static_cast<double>(s.size())));
    return s;
}

// Test windows: noise, a chord with a bass, a click, DC and the Nyquist tone,
// silence, full-scale square.
std::vector<std::vector<float>> windows(std::size_t n)
{
    std::vector<std::vector<float>> all;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> uniform(-1.0F, 1.0F);
    std::vector<float> noise(n), chord(n), click(n, 0.0F), dc(n, 0.75F), nyquist(n), silence(n, 0.0F),
        square(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        noise[i] = uniform(random);
        chord[i] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 55.0 * t) +
                                      0.2 * std::sin(2 * std::numbers::pi * 440.0 * t + 1.0) +
                                      0.1 * std::sin(2 * std::numbers::pi * 3520.7 * t));
        nyquist[i] = (i % 2 == 0) ? 0.5F : -0.5F;
        square[i] = (i / 37) % 2 == 0 ? 1.0F : -1.0F;
    }
    click[n / 3] = 1.0F;
    for (auto *w : {&noise, &chord, &click, &dc, &nyquist, &silence, &square})
        all.push_back(hann_windowed(*w));
    return all;
}

double peak_of(const std::vector<std::complex<float>> &bins)
{
    double peak = 0.0;
    for (auto b : bins)
        peak = std::max(peak, static_cast<double>(std::abs(b)));
    return peak;
}

} // namespace

TEST(RealFft, agrees_with_kissfft_within_its_float_rounding)
{
    const std::size_t n = spectrum_window;
    RealFft ours(n);
    kiss_fftr_cfg kiss = kiss_fftr_alloc(static_cast<int>(n), 0, nullptr, nullptr);
    for (const auto &w : windows(n)) {
        std::vector<std::complex<float>> mine(n / 2 + 1);
        std::vector<kiss_fft_cpx> theirs(n / 2 + 1);
        ours.transform(w, mine);
        kiss_fftr(kiss, w.data(), theirs.data());
        // Relative to the window's strongest bin: a bin far below it holds
        // only rounding in both transforms.
        const double scale = std::max(peak_of(mine), 1e-30);
        for (std::size_t k = 0; k <= n / 2; ++k) {
            EXPECT_LE(std::abs(mine[k].real() - theirs[k].r), 1e-5 * scale) << "bin " << k;
            EXPECT_LE(std::abs(mine[k].imag() - theirs[k].i), 1e-5 * scale) << "bin " << k;
        }
    }
    kiss_fftr_free(kiss);
}

TEST(RealFft, equals_the_direct_transform_at_every_length)
{
    for (std::size_t n : {4U, 8U, 64U, 1024U}) {
        RealFft ours(n);
        for (const auto &w : windows(n)) {
            std::vector<std::complex<float>> mine(n / 2 + 1);
            ours.transform(w, mine);
            double scale = 1e-30;
            std::vector<std::complex<double>> exact(n / 2 + 1);
            for (std::size_t k = 0; k <= n / 2; ++k) {
                for (std::size_t i = 0; i < n; ++i)
                    exact[k] += static_cast<double>(w[i]) *
                                std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(k * i % n) /
                                                    static_cast<double>(n));
                scale = std::max(scale, std::abs(exact[k]));
            }
            for (std::size_t k = 0; k <= n / 2; ++k)
                EXPECT_LE(std::abs(std::complex<double>(mine[k]) - exact[k]), 2e-7 * scale)
                    << "length " << n << " bin " << k;
        }
    }
}

TEST(RealFft, refuses_lengths_and_sizes_it_cannot_transform)
{
    for (std::size_t n : {0U, 2U, 3U, 1000U, 1025U})
        EXPECT_THROW(RealFft{n}, std::invalid_argument) << n;
    RealFft fft(16);
    std::vector<float> samples(16);
    std::vector<std::complex<float>> too_few(8), right(9);
    EXPECT_THROW(fft.transform(samples, too_few), std::invalid_argument);
    EXPECT_THROW(fft.transform(std::span<const float>(samples).first(15), right), std::invalid_argument);
}
