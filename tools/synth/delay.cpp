// Stereo ping-pong delay: see delay.h.
#include "delay.h"

#include <algorithm>

namespace synth
{

StereoDelay::StereoDelay(const DelaySettings &s)
    : s_(s), left_(std::max<std::size_t>(2, to_samples(std::max(s.time, s.longest)) + 2), 0.0f),
      right_(left_.size(), 0.0f), damp_left_(s.damping_hz), damp_right_(s.damping_hz)
{
    set_time(s.time);
}

void StereoDelay::set_time(double seconds)
{
    delay_samples_ = std::clamp(seconds * sample_rate, 1.0, static_cast<double>(left_.size() - 2));
}

void StereoDelay::process(float in_left, float in_right, float &out_left, float &out_right)
{
    // Read `delay_samples_` behind the write point, between two samples.
    const std::size_t n = left_.size();
    const double back = delay_samples_;
    const auto whole = static_cast<std::size_t>(back);
    const float frac = static_cast<float>(back - static_cast<double>(whole));
    const std::size_t a = (pos_ + n - whole) % n, b = (a + n - 1) % n;
    const float dl = left_[a] + (left_[b] - left_[a]) * frac;
    const float dr = right_[a] + (right_[b] - right_[a]) * frac;
    const float fb = static_cast<float>(s_.feedback);
    // Mono input enters on the left; each repeat crosses to the other side.
    left_[pos_] = damp_left_.process(0.5f * (in_left + in_right) + fb * dr);
    right_[pos_] = damp_right_.process(fb * dl);
    out_left = dl;
    out_right = dr;
    if (++pos_ == n)
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
