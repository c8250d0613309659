#include "sound/real_fft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

RealFft::RealFft(std::size_t length) : length_(length)
{
    if (length < 4 || (length & (length - 1)) != 0)
        throw std::invalid_argument("RealFft: the length must be a power of two, 4 or more");
    const std::size_t half = length / 2;
    reversed_.resize(half);
    std::size_t bits = 0;
    while ((std::size_t{1} << bits) < half)
        ++bits;
    for (std::size_t i = 0; i < half; ++i) {
        std::size_t r = 0;
        for (std::size_t b = 0; b < bits; ++b)
            r |= ((i >> b) & 1U) << (bits - 1 - b);
        reversed_[i] = r;
    }
    roots_.resize(half);
    for (std::size_t j = 0; j < half; ++j)
        roots_[j] =
            std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(length));
    packed_.resize(half);
}

void RealFft::transform(std::span<const float> samples, std::span<std::complex<float>> bins)
{
    const std::size_t half = length_ / 2;
    if (samples.size() != length_ || bins.size() != half + 1)
        throw std::invalid_argument("RealFft: wrong number of samples or bins");
    // The even and odd samples as one complex sequence of half the length,
    // in bit-reversed order for the in-place transform.
    for (std::size_t i = 0; i < half; ++i)
        packed_[reversed_[i]] = {samples[2 * i], samples[2 * i + 1]};
    // Radix-2 butterflies; a step of `span` uses every (length / (2 span))-th
    // root of the full length, i.e. the roots of the half length.
    for (std::size_t span = 1; span < half; span *= 2) {
        const std::size_t stride = half / span;
        for (std::size_t start = 0; start < half; start += 2 * span) {
            for (std::size_t j = 0; j < span; ++j) {
                const std::complex<double> t = roots_[j * stride] * packed_[start + j + span];
                packed_[start + j + span] = packed_[start + j] - t;
                packed_[start + j] += t;
            }
        }
    }
    // Split the two real transforms apart: E[k] = (Z[k] + conj Z[-k]) / 2,
    // O[k] = (Z[k] - conj Z[-k]) / 2i, X[k] = E[k] + w^k O[k].
    for (std::size_t k = 0; k <= half; ++k) {
        const std::complex<double> z = packed_[k % half];
        const std::complex<double> mirror = std::conj(packed_[(half - k) % half]);
        const std::complex<double> even = 0.5 * (z + mirror);
        const std::complex<double> odd = std::complex<double>(0.0, -0.5) * (z - mirror);
        const std::complex<double> root = k < half ? roots_[k] : std::complex<double>(-1.0, 0.0);
        const std::complex<double> x = even + root * odd;
        bins[k] = {static_cast<float>(x.real()), static_cast<float>(x.imag())};
    }
}
