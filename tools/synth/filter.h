// State-variable filter (trapezoidal integration, "zero-delay feedback"):
// low-, band- and high-pass outputs of one 2-pole section whose cutoff can
// move every sample without zipper noise or blow-ups.
//
// Depends on: dsp.h. Cutoff is clamped below Nyquist; q = 0.7071 gives a
// Butterworth response (-3 dB at the cutoff).
#pragma once

#include "dsp.h"

namespace synth
{

struct SvfOutputs {
    double low;
    double band;
    double high;
};

class Svf
{
  public:
    Svf(double cutoff_hz = 1000.0, double q = 0.7071) { set(cutoff_hz, q); }

    void set(double cutoff_hz, double q);
    SvfOutputs process(double x);
    float low(float x) { return static_cast<float>(process(x).low); }
    float band(float x) { return static_cast<float>(process(x).band); }
    float high(float x) { return static_cast<float>(process(x).high); }
    void reset() { ic1_ = ic2_ = 0.0; }

  private:
    double k_ = 1.0, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

// One-pole low-pass, for smoothing and damping.
class OnePole
{
  public:
    explicit OnePole(double cutoff_hz = 1000.0) { set(cutoff_hz); }
    void set(double cutoff_hz) { a_ = 1.0 - std::exp(-two_pi * cutoff_hz / sample_rate); }
    float process(float x)
    {
        z_ += a_ * (x - z_);
        return static_cast<float>(z_);
    }

  private:
    double a_ = 0.0;
    double z_ = 0.0;
};

} // namespace synth
