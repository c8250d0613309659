// Stereo ping-pong delay: see delay.h.
#include "delay.h"

#include <algorithm>

namespace synth
{

StereoDelay::StereoDelay(const DelaySettings &s)
    : s_(s), left_(std::max<std::size_t>(1, to_samples(s.time)), 0.0f), right_(left_.size(), 0.0f),
      damp_left_(s.damping_hz), damp_right_(s.damping_hz)
{
}

void StereoDelay::process(float in_left, float in_right, float &out_left, float &out_right)
{
    const float dl = left_[pos_];
    const float dr = right_[pos_];
    const float fb = static_cast<float>(s_.feedback);
    // Mono input enters on the left; each repeat crosses to the other side.
    left_[pos_] = damp_left_.process(0.5f * (in_left + in_right) + fb * dr);
    right_[pos_] = damp_right_.process(fb * dl);
    out_left = dl;
    out_right = dr;
    if (++pos_ == left_.size())
        pos_ = 0;
}

void StereoDelay::clear()
{
    std::fill(left_.begin(), left_.end(), 0.0f);
    std::fill(right_.begin(), right_.end(), 0.0f);
    damp_left_ = OnePole(s_.damping_hz);
    damp_right_ = OnePole(s_.damping_hz);
    pos_ = 0;
}

} // namespace synth
