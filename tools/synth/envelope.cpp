// ADSR envelope: see envelope.h.
#include "envelope.h"

#include <algorithm>

namespace synth
{
namespace
{

// x^curve, with the common whole-number curves spelled out (pow is slow).
double bend(double x, double curve)
{
    if (curve == 1.0)
        return x;
    if (curve == 2.0)
        return x * x;
    if (curve == 3.0)
        return x * x * x;
    return std::pow(x, curve);
}

} // namespace

Adsr::Adsr(const AdsrSettings &s)
    : s_(s), attack_n_(std::max<std::size_t>(1, to_samples(s.attack))),
      decay_n_(std::max<std::size_t>(1, to_samples(s.decay))),
      release_n_(std::max<std::size_t>(1, to_samples(s.release)))
{
}

void Adsr::gate_on()
{
    stage_ = Stage::attack;
    from_ = level_;
    pos_ = 0;
}

void Adsr::gate_off()
{
    if (stage_ == Stage::idle)
        return;
    stage_ = Stage::release;
    from_ = level_;
    pos_ = 0;
}

float Adsr::next()
{
    switch (stage_) {
    case Stage::idle:
        level_ = 0.0;
        break;
    case Stage::attack:
        ++pos_;
        level_ = from_ + (1.0 - from_) * static_cast<double>(pos_) / static_cast<double>(attack_n_);
        if (pos_ >= attack_n_) {
            level_ = 1.0;
            stage_ = Stage::decay;
            pos_ = 0;
        }
        break;
    case Stage::decay: {
        ++pos_;
        const double x = 1.0 - static_cast<double>(pos_) / static_cast<double>(decay_n_);
        level_ = s_.sustain + (1.0 - s_.sustain) * bend(std::max(x, 0.0), s_.curve);
        if (pos_ >= decay_n_) {
            level_ = s_.sustain;
            stage_ = Stage::sustain;
        }
        break;
    }
    case Stage::sustain:
        level_ = s_.sustain;
        break;
    case Stage::release: {
        ++pos_;
        const double x = 1.0 - static_cast<double>(pos_) / static_cast<double>(release_n_);
        level_ = from_ * bend(std::max(x, 0.0), s_.curve);
        if (pos_ >= release_n_) {
            level_ = 0.0;
            stage_ = Stage::idle;
        }
        break;
    }
    }
    return static_cast<float>(level_);
}

} // namespace synth
