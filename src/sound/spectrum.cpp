// Windowed real FFT of the output (see spectrum.h).
#include "sound/spectrum.h"

#include "sound/real_fft.h"

#ifdef VELLAMOR_HAVE_KISSFFT
#include <kissfft/kiss_fftr.h>
#endif

#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>

bool spectrum_fft_available(SpectrumFft fft)
{
#ifdef VELLAMOR_HAVE_KISSFFT
    static_cast<void>(fft);
    return true;
#else
    return fft == SpectrumFft::ours;
#endif
}

SpectrumFft default_spectrum_fft()
{
    return spectrum_fft_available(SpectrumFft::kissfft) ? SpectrumFft::kissfft : SpectrumFft::ours;
}

SpectrumAnalyser::SpectrumAnalyser(SpectrumFft fft)
{
    if (!spectrum_fft_available(fft))
        throw std::invalid_argument("this build has no kissfft");
#ifdef VELLAMOR_HAVE_KISSFFT
    if (fft == SpectrumFft::kissfft)
        plan_ = kiss_fftr_alloc(spectrum_window, 0, nullptr, nullptr);
#endif
    if (fft == SpectrumFft::ours)
        ours_ = std::make_unique<RealFft>(spectrum_window);
    // Periodic Hann: its mean is exactly 0.5, which fixes the scale below.
    for (std::size_t n = 0; n < spectrum_window; ++n)
        window_[n] = static_cast<float>(
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(n) / spectrum_window));
}

SpectrumAnalyser::~SpectrumAnalyser()
{
#ifdef VELLAMOR_HAVE_KISSFFT
    kiss_fftr_free(plan_);
#endif
}

void SpectrumAnalyser::analyse(const std::array<float, spectrum_window> &samples,
                               std::array<float, spectrum_bins> &magnitudes)
{
    for (std::size_t n = 0; n < spectrum_window; ++n)
        windowed_[n] = samples[n] * window_[n];
    std::array<std::complex<float>, spectrum_window / 2 + 1> bins{};
#ifdef VELLAMOR_HAVE_KISSFFT
    if (plan_ != nullptr) {
        std::array<kiss_fft_cpx, spectrum_window / 2 + 1> kiss{};
        kiss_fftr(plan_, windowed_.data(), kiss.data());
        for (std::size_t k = 0; k < bins.size(); ++k)
            bins[k] = {kiss[k].r, kiss[k].i};
    }
#endif
    if (ours_)
        ours_->transform(windowed_, bins);
    // A sine of amplitude A puts A * N/2 * 0.5 (the window's mean) into its
    // bin; DC has no mirror image and gets A * N * 0.5.
    constexpr float sine_scale = 4.0F / spectrum_window;
    constexpr float dc_scale = 2.0F / spectrum_window;
    for (std::size_t k = 0; k < spectrum_bins; ++k) {
        const float m = std::hypot(bins[k].real(), bins[k].imag());
        magnitudes[k] = m * (k == 0 ? dc_scale : sine_scale);
    }
}
