// Stereo ping-pong delay with a damped feedback path.
//
// Depends on: dsp.h, filter.h. The echo alternates sides; each repeat is
// darker than the one before. Output is the wet signal only. The echo time
// may change while it runs (up to `longest`): the read point moves between
// samples, so a gliding time bends the echoes' pitch instead of clicking.
#pragma once

#include "dsp.h"
#include "filter.h"

namespace synth
{

struct DelaySettings {
    double time = 0.375;      // seconds between repeats
    double feedback = 0.4;    // 0..<1
    double damping_hz = 3500; // low-pass in the loop
    double longest = 0.0;     // most seconds set_time may ask for (0: time)
};

class StereoDelay
{
  public:
    explicit StereoDelay(const DelaySettings &s);

    // Wet output for one input frame.
    void process(float in_left, float in_right, float &out_left, float &out_right);
    void clear();

    // Seconds between repeats from the next frame on, clamped to what the
    // line holds.
    void set_time(double seconds);

  private:
    DelaySettings s_;
    std::vector<float> left_, right_;
    std::size_t pos_ = 0;
    double delay_samples_ = 1.0;
    OnePole damp_left_, damp_right_;
};

} // namespace synth
