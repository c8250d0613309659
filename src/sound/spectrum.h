// Frequency spectrum of the most recent output: 512 magnitudes from 1024
// mono samples, Hann-windowed, through a real FFT (kissfft).
//
// Scale: magnitudes are amplitudes. A full-scale sine centred on a bin gives
// 1.0 in that bin (0.85 at worst between two bins, the window's scalloping);
// silence gives exactly 0. Bin k covers k * rate / 1024 Hz (43.07 Hz apart
// at 44100 Hz); bin 0 is the mean (DC). The Nyquist bin is dropped.
// Depends on: kissfft (float), chosen over FFTW because one 1024-point real
// transform per frame needs no planning or wisdom files, kissfft keeps no
// global state (one plan per analyser, nothing shared between threads), and
// its BSD licence binds nothing (FFTW is GPL). Limits: one thread per analyser.
#pragma once

#include <array>
#include <cstddef>

struct kiss_fftr_state;

inline constexpr std::size_t spectrum_window = 1024;
inline constexpr std::size_t spectrum_bins = 512;

class SpectrumAnalyser
{
  public:
    SpectrumAnalyser();
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser &) = delete;
    SpectrumAnalyser &operator=(const SpectrumAnalyser &) = delete;

    void analyse(const std::array<float, spectrum_window> &samples,
                 std::array<float, spectrum_bins> &magnitudes);

  private:
    kiss_fftr_state *plan_ = nullptr;
    std::array<float, spectrum_window> window_{};
    std::array<float, spectrum_window> windowed_{};
};
