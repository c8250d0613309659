// Oscillators: sine, band-limited saw and square (PolyBLEP), all driven by a
// double-precision phase so long notes stay in tune.
//
// Depends on: dsp.h. PolyBLEP removes most aliasing of the discontinuities;
// it is meant for notes well below the Nyquist frequency (up to ~5 kHz).
#pragma once

#include "dsp.h"

namespace synth {

enum class Wave { sine, saw, square };

// Polynomial correction of a unit step at phase 0 (t and dt in cycles).
double poly_blep(double t, double dt);

class Oscillator {
public:
    explicit Oscillator(Wave wave = Wave::sine, double phase = 0.0) : wave_(wave), phase_(phase) {}

    void set_frequency(double hz) { increment_ = hz / sample_rate; }
    double phase() const { return phase_; }

    // One sample in [-1, 1] (PolyBLEP may overshoot by a few per cent).
    float next();

    // A sine sample whose phase is shifted by `offset` cycles: the carrier of
    // an FM pair.
    float next_sine_with_offset(double offset);

private:
    void advance()
    {
        phase_ += increment_;
        phase_ -= std::floor(phase_);
    }

    Wave wave_;
    double phase_;
    double increment_ = 0.0;
};

} // namespace synth
