// Stereo comb/all-pass reverb: see reverb.h.
#include "reverb.h"

#include <algorithm>

namespace synth
{
namespace
{

constexpr std::array<std::size_t, 8> comb_lengths{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<std::size_t, 4> allpass_lengths{556, 441, 341, 225};
constexpr std::size_t stereo_spread = 23;
constexpr float input_gain = 0.015f;

} // namespace

float Reverb::Comb::process(float x, float feedback, float damp)
{
    const float out = line[pos];
    store = out * (1.0f - damp) + store * damp;
    line[pos] = x + store * feedback;
    if (++pos == line.size())
        pos = 0;
    return out;
}

float Reverb::Allpass::process(float x)
{
    const float buffered = line[pos];
    line[pos] = x + buffered * 0.5f;
    if (++pos == line.size())
        pos = 0;
    return buffered - x;
}

float Reverb::Channel::process(float x, float feedback, float damp)
{
    float sum = 0.0f;
    for (auto &c : combs)
        sum += c.process(x, feedback, damp);
    for (auto &a : allpasses)
        sum = a.process(sum);
    return sum;
}

Reverb::Reverb(const ReverbSettings &s) : s_(s)
{
    for (std::size_t i = 0; i < 8; ++i) {
        left_.combs[i].line.assign(comb_lengths[i], 0.0f);
        right_.combs[i].line.assign(comb_lengths[i] + stereo_spread, 0.0f);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        left_.allpasses[i].line.assign(allpass_lengths[i], 0.0f);
        right_.allpasses[i].line.assign(allpass_lengths[i] + stereo_spread, 0.0f);
    }
}

void Reverb::process(float in, float &out_left, float &out_right)
{
    const float x = in * input_gain;
    const float fb = static_cast<float>(s_.room);
    const float damp = static_cast<float>(s_.damping);
    const float l = left_.process(x, fb, damp);
    const float r = right_.process(x, fb, damp);
    const float w1 = static_cast<float>(0.5 * (1.0 + s_.width));
    const float w2 = static_cast<float>(0.5 * (1.0 - s_.width));
    out_left = l * w1 + r * w2;
    out_right = r * w1 + l * w2;
}

void Reverb::clear()
{
    for (Channel *ch : {&left_, &right_}) {
        for (auto &c : ch->combs) {
            std::fill(c.line.begin(), c.line.end(), 0.0f);
            c.store = 0.0f;
            c.pos = 0;
        }
        for (auto &a : ch->allpasses) {
            std::fill(a.line.begin(), a.line.end(), 0.0f);
            a.pos = 0;
        }
    }
}

} // namespace synth
