// Oscillators: see oscillator.h.
#include "oscillator.h"

namespace synth {

double poly_blep(double t, double dt)
{
    if (dt <= 0.0)
        return 0.0;
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

float Oscillator::next()
{
    double v = 0.0;
    switch (wave_) {
    case Wave::sine:
        v = std::sin(two_pi * phase_);
        break;
    case Wave::saw:
        v = 2.0 * phase_ - 1.0 - poly_blep(phase_, increment_);
        break;
    case Wave::square: {
        v = phase_ < 0.5 ? 1.0 : -1.0;
        v += poly_blep(phase_, increment_);
        double half = phase_ + 0.5;
        half -= std::floor(half);
        v -= poly_blep(half, increment_);
        break;
    }
    }
    advance();
    return static_cast<float>(v);
}

float Oscillator::next_sine_with_offset(double offset)
{
    const float v = static_cast<float>(std::sin(two_pi * (phase_ + offset)));
    advance();
    return v;
}

} // namespace synth
