// Oscillators: sine, band-limited saw and square (PolyBLEP), all driven by a
// double-precision phase so long notes stay in tune.
//
// Depends on: dsp.h. PolyBLEP removes most aliasing of the discontinuities;
// it is meant for notes well below the Nyquist frequency (up to ~5 kHz).
#pragma once

#include "dsp.h"

namespace synth
{

enum class Wave { sine, saw, square };

// Polynomial correction of a unit step at phase 0 (t and dt in cycles).
inline double poly_blep(double t, double dt)
{
    if (t < dt) {
        const double x = t / dt;
        return x + x - x * x - 1.0;
    }
    if (t > 1.0 - dt) {
        const double x = (t - 1.0) / dt;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}

// sin(2 pi cycles) by symmetry and a 9th-order series: error below 4e-6,
// several times faster than std::sin, same result on every run.
inline double sine_of_cycles(double cycles)
{
    double p = cycles - std::floor(cycles);
    double sign = 1.0;
    if (p >= 0.5) {
        p -= 0.5;
        sign = -1.0;
    }
    if (p > 0.25)
        p = 0.5 - p;
    const double a = two_pi * p;
    const double a2 = a * a;
    return sign * a *
           (1.0 + a2 * (-1.0 / 6.0 + a2 * (1.0 / 120.0 + a2 * (-1.0 / 5040.0 + a2 * (1.0 / 362880.0)))));
}

class Oscillator
{
  public:
    explicit Oscillator(Wave wave = Wave::sine, double phase = 0.0) : wave_(wave), phase_(phase) {}

    void set_frequency(double hz) { increment_ = hz / sample_rate; }
    double phase() const { return phase_; }

    // One sample in [-1, 1] (PolyBLEP may overshoot by a few per cent).
    float next()
    {
        double v = 0.0;
        switch (wave_) {
        case Wave::sine:
            v = sine_of_cycles(phase_);
            break;
        case Wave::saw:
            v = 2.0 * phase_ - 1.0 - poly_blep(phase_, increment_);
            break;
        case Wave::square: {
            double half = phase_ + 0.5;
            if (half >= 1.0)
                half -= 1.0;
            v = (phase_ < 0.5 ? 1.0 : -1.0) + poly_blep(phase_, increment_) - poly_blep(half, increment_);
            break;
        }
        }
        advance();
        return static_cast<float>(v);
    }

    // A sine sample whose phase is shifted by `offset` cycles: the carrier of
    // an FM pair.
    float next_sine_with_offset(double offset);

  private:
    void advance()
    {
        phase_ += increment_;
        if (phase_ >= 1.0)
            phase_ -= std::floor(phase_);
    }

    Wave wave_;
    double phase_;
    double increment_ = 0.0;
};

} // namespace synth
