// Shared basics of the synthesiser: the sample rate, unit conversions, a
// deterministic noise source and the stereo buffer every stage writes into.
//
// Depends on: nothing. Everything runs at one fixed rate (44100 Hz); the
// noise source is a plain xorshift so renders are identical run to run.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

namespace synth
{

inline constexpr double sample_rate = 44100.0;
inline constexpr double two_pi = 2.0 * std::numbers::pi;

inline double midi_to_hz(double note)
{
    return 440.0 * std::exp2((note - 69.0) / 12.0);
}
inline double db_to_gain(double db)
{
    return std::pow(10.0, db / 20.0);
}
inline double gain_to_db(double g)
{
    return 20.0 * std::log10(g);
}
inline std::size_t to_samples(double seconds)
{
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(std::llround(seconds * sample_rate));
}

// White noise in [-1, 1) from a 32-bit xorshift; the seed picks the sequence.
class Noise
{
  public:
    explicit Noise(std::uint32_t seed = 0x9e3779b9u) : state_(seed ? seed : 1u) {}
    float next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(static_cast<double>(state_) / 2147483648.0 - 1.0);
    }
    // Uniform in [0, 1).
    double unit() { return (static_cast<double>(next()) + 1.0) * 0.5; }

  private:
    std::uint32_t state_;
};

// Two channels of float samples of equal length.
struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;

    StereoBuffer() = default;
    explicit StereoBuffer(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    std::size_t frames() const { return left.size(); }
};

// Equal-power pan: -1 is hard left, +1 hard right.
struct PanGains {
    float left;
    float right;
};
inline PanGains pan_gains(double pan)
{
    const double a = (pan + 1.0) * 0.25 * std::numbers::pi;
    return {static_cast<float>(std::cos(a) * std::numbers::sqrt2),
            static_cast<float>(std::sin(a) * std::numbers::sqrt2)};
}

} // namespace synth
