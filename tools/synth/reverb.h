// Stereo reverb of the Schroeder/Moorer kind: eight damped feedback combs in
// parallel and four series all-passes per channel, the right channel's
// delays a little longer than the left's for width.
//
// Depends on: dsp.h. Delay lengths are tuned for 44100 Hz. Input is mono
// (the send bus summed), output the wet stereo signal.
#pragma once

#include "dsp.h"

#include <array>

namespace synth
{

struct ReverbSettings {
    double room = 0.84;    // comb feedback, 0..<1: decay time
    double damping = 0.35; // high-frequency loss in the combs, 0..1
    double width = 1.0;    // 0 mono, 1 full stereo
};

class Reverb
{
  public:
    explicit Reverb(const ReverbSettings &s);

    void process(float in, float &out_left, float &out_right);
    void clear();

  private:
    struct Comb {
        std::vector<float> line;
        std::size_t pos = 0;
        float store = 0.0f;
        float process(float x, float feedback, float damp);
    };
    struct Allpass {
        std::vector<float> line;
        std::size_t pos = 0;
        float process(float x);
    };
    struct Channel {
        std::array<Comb, 8> combs;
        std::array<Allpass, 4> allpasses;
        float process(float x, float feedback, float damp);
    };

    ReverbSettings s_;
    Channel left_, right_;
};

} // namespace synth
