#include "sound/track_window.h"

#include <algorithm>
#include <cmath>

std::optional<std::int64_t> analysed_window_at(double music_seconds, std::int64_t track_frames)
{
    if (!(music_seconds >= 0.0))
        return std::nullopt;
    const double frame = std::floor(music_seconds * track_rate);
    if (!(frame < static_cast<double>(track_frames)))
        return std::nullopt;
    return analysed_window_start(static_cast<std::int64_t>(frame));
}

std::array<float, spectrum_bins> window_spectrum(SpectrumAnalyser &analyser, std::span<const float> stereo,
                                                 int volume)
{
    const float gain = static_cast<float>(std::clamp(volume, 0, 255)) / 255.0F;
    const std::size_t frames = std::min(stereo.size() / 2, spectrum_window);
    std::array<float, spectrum_window> mono{};
    for (std::size_t i = 0; i < frames; ++i)
        mono[i] = analysed_mono(stereo[2 * i] * gain, stereo[2 * i + 1] * gain);
    std::array<float, spectrum_bins> out{};
    analyser.analyse(mono, out);
    return out;
}

std::array<float, spectrum_bins> track_spectrum_at(SpectrumAnalyser &analyser, std::span<const float> stereo,
                                                   double music_seconds, int volume)
{
    const auto frames = static_cast<std::int64_t>(stereo.size() / 2);
    const std::optional<std::int64_t> start = analysed_window_at(music_seconds, frames);
    if (!start)
        return {};
    const auto first = static_cast<std::size_t>(std::min(*start, frames) * 2);
    return window_spectrum(analyser, stereo.subspan(first), volume);
}
