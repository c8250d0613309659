// Frequency spectrum of the most recent output: 512 magnitudes from 1024
// mono samples, Hann-windowed, through a real FFT (kissfft where the build
// has it, our own RealFft in the browser build).
//
// Scale: magnitudes are amplitudes. A full-scale sine centred on a bin gives
// 1.0 in that bin (0.85 at worst between two bins, the window's scalloping);
// silence gives exactly 0. Bin k covers k * rate / 1024 Hz (43.07 Hz apart
// at 44100 Hz); bin 0 is the mean (DC). The Nyquist bin is dropped.
// Depends on: kissfft (float), chosen over FFTW because one 1024-point real
// transform per frame needs no planning or wisdom files, kissfft keeps no
// global state (one plan per analyser, nothing shared between threads), and
// its BSD licence binds nothing (FFTW is GPL). The desktop keeps kissfft
// because its frames depend on the spectrum's exact rounding; RealFft agrees
// with it to about 1e-6 of the largest bin. Limits: one thread per analyser.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

struct kiss_fftr_state;
class RealFft;

// The analyser's transform. kissfft is there when the build links it
// (VELLAMOR_HAVE_KISSFFT); ours builds everywhere.
enum class SpectrumFft { kissfft, ours };
bool spectrum_fft_available(SpectrumFft fft);
// kissfft where available, else ours.
SpectrumFft default_spectrum_fft();

inline constexpr std::size_t spectrum_window = 1024;
inline constexpr std::size_t spectrum_bins = 512;

// Which output the sound module analyses. The device plays one buffer of
// spectrum_window frames while the callback mixes the next, and the
// spectrum is that of the buffer just mixed: while the listener hears track
// frame `heard` of a track played from its start, it covers the
// spectrum_window frames that follow the buffer being heard.
inline std::int64_t analysed_window_start(std::int64_t heard)
{
    const auto n = static_cast<std::int64_t>(spectrum_window);
    return (heard / n + 1) * n;
}

// One output frame as the analyser sees it: the mono mix of the two
// channels after the volume.
inline float analysed_mono(float left, float right)
{
    return 0.5F * (left + right);
}

class SpectrumAnalyser
{
  public:
    explicit SpectrumAnalyser(SpectrumFft fft = default_spectrum_fft());
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser &) = delete;
    SpectrumAnalyser &operator=(const SpectrumAnalyser &) = delete;

    void analyse(const std::array<float, spectrum_window> &samples,
                 std::array<float, spectrum_bins> &magnitudes);

  private:
    kiss_fftr_state *plan_ = nullptr; // one of these two
    std::unique_ptr<RealFft> ours_;
    std::array<float, spectrum_window> window_{};
    std::array<float, spectrum_window> windowed_{};
};
