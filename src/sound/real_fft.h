// A real FFT of a power-of-two length, in plain C++: the spectrum's
// transform where kissfft is not at hand (the browser build has no system
// libraries). Computed in double and rounded once at the end, so it agrees
// with kissfft's float transform to its rounding.
//
// Limits: one thread per instance (it keeps its work space).
#pragma once

#include <complex>
#include <cstddef>
#include <span>
#include <vector>

class RealFft
{
  public:
    // `length`: a power of two, 4 or more.
    explicit RealFft(std::size_t length);

    std::size_t length() const { return length_; }

    // `bins[k]` = sum over n of samples[n] * e^(-2 pi i k n / length), for
    // k = 0 .. length / 2 (the rest mirror them). `samples` holds `length`
    // values, `bins` length / 2 + 1.
    void transform(std::span<const float> samples, std::span<std::complex<float>> bins);

  private:
    std::size_t length_;
    std::vector<std::size_t> reversed_;        // bit-reversed order of the half-length transform
    std::vector<std::complex<double>> roots_;  // e^(-2 pi i j / length), j < length / 2
    std::vector<std::complex<double>> packed_; // even samples + i odd samples, transformed
};
