// Stereo ping-pong delay with a damped feedback path.
//
// Depends on: dsp.h, filter.h. The echo alternates sides; each repeat is
// darker than the one before. Output is the wet signal only.
#pragma once

#include "dsp.h"
#include "filter.h"

namespace synth
{

struct DelaySettings {
    double time = 0.375;      // seconds between repeats
    double feedback = 0.4;    // 0..<1
    double damping_hz = 3500; // low-pass in the loop
};

class StereoDelay
{
  public:
    explicit StereoDelay(const DelaySettings &s);

    // Wet output for one input frame.
    void process(float in_left, float in_right, float &out_left, float &out_right);
    void clear();

  private:
    DelaySettings s_;
    std::vector<float> left_, right_;
    std::size_t pos_ = 0;
    OnePole damp_left_, damp_right_;
};

} // namespace synth
