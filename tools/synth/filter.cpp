// State-variable filter: see filter.h.
#include "filter.h"

#include <algorithm>

namespace synth
{

void Svf::set(double cutoff_hz, double q)
{
    const double fc = std::clamp(cutoff_hz, 5.0, sample_rate * 0.49);
    const double g = std::tan(std::numbers::pi * fc / sample_rate);
    k_ = 1.0 / std::max(q, 0.05);
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

SvfOutputs Svf::process(double x)
{
    const double v3 = x - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {v2, v1, x - k_ * v1 - v2};
}

} // namespace synth
