#include "sound/spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace
{
std::array<float, spectrum_window> sine(double cycles_per_window, double amplitude)
{
    std::array<float, spectrum_window> s{};
    for (std::size_t n = 0; n < s.size(); ++n)
        s[n] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * cycles_per_window *
                                                           static_cast<double>(n) / spectrum_window +
                                                       0.3));
    return s;
}

std::size_t peak_bin(const std::array<float, spectrum_bins> &m)
{
    return static_cast<std::size_t>(std::max_element(m.begin(), m.end()) - m.begin());
}
} // namespace

TEST(Spectrum, full_scale_sine_on_a_bin_reads_one_and_leaks_nowhere_far)
{
    SpectrumAnalyser a;
    std::array<float, spectrum_bins> m{};
    a.analyse(sine(23.0, 1.0), m);
    EXPECT_EQ(peak_bin(m), 23U);
    EXPECT_NEAR(m[23], 1.0F, 1e-3F);
    EXPECT_NEAR(m[22], 0.5F, 1e-3F); // the Hann window's two neighbours
    for (std::size_t k = 0; k < spectrum_bins; ++k) {
        if (k < 21 || k > 25) {
            EXPECT_LT(m[k], 1e-3F) << "bin " << k;
        }
    }
}

TEST(Spectrum, scale_is_linear_in_amplitude_and_sine_between_bins_loses_little)
{
    SpectrumAnalyser a;
    std::array<float, spectrum_bins> m{};
    a.analyse(sine(100.0, 0.25), m);
    EXPECT_NEAR(m[100], 0.25F, 1e-3F);
    a.analyse(sine(100.5, 1.0), m); // worst case: halfway between bins
    EXPECT_GT(*std::max_element(m.begin(), m.end()), 0.84F);
    EXPECT_LT(*std::max_element(m.begin(), m.end()), 0.86F);
}

TEST(Spectrum, silence_is_zero_and_a_constant_lands_in_bin_zero)
{
    SpectrumAnalyser a;
    std::array<float, spectrum_bins> m{};
    m.fill(7.0F); // stale values must all be overwritten
    a.analyse({}, m);
    EXPECT_TRUE(std::all_of(m.begin(), m.end(), [](float v) { return v == 0.0F; }));
    std::array<float, spectrum_window> dc{};
    dc.fill(0.5F);
    a.analyse(dc, m);
    EXPECT_NEAR(m[0], 0.5F, 1e-4F);
    EXPECT_LT(m[2], 1e-4F);
}
