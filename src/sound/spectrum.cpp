// Windowed real FFT of the output (see spectrum.h).
#include "sound/spectrum.h"

#include <kissfft/kiss_fftr.h>

#include <cmath>
#include <numbers>

SpectrumAnalyser::SpectrumAnalyser() : plan_(kiss_fftr_alloc(spectrum_window, 0, nullptr, nullptr))
{
    // Periodic Hann: its mean is exactly 0.5, which fixes the scale below.
    for (std::size_t n = 0; n < spectrum_window; ++n)
        window_[n] = static_cast<float>(
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(n) / spectrum_window));
}

SpectrumAnalyser::~SpectrumAnalyser()
{
    kiss_fftr_free(plan_);
}

void SpectrumAnalyser::analyse(const std::array<float, spectrum_window> &samples,
                               std::array<float, spectrum_bins> &magnitudes)
{
    for (std::size_t n = 0; n < spectrum_window; ++n)
        windowed_[n] = samples[n] * window_[n];
    std::array<kiss_fft_cpx, spectrum_window / 2 + 1> bins{};
    kiss_fftr(plan_, windowed_.data(), bins.data());
    // A sine of amplitude A puts A * N/2 * 0.5 (the window's mean) into its
    // bin; DC has no mirror image and gets A * N * 0.5.
    constexpr float sine_scale = 4.0F / spectrum_window;
    constexpr float dc_scale = 2.0F / spectrum_window;
    for (std::size_t k = 0; k < spectrum_bins; ++k) {
        const float m = std::hypot(bins[k].r, bins[k].i);
        magnitudes[k] = m * (k == 0 ? dc_scale : sine_scale);
    }
}
