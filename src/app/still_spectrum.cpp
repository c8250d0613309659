#include "app/still_spectrum.h"

#include "sound/sound_decoder.h"
#include "sound/spectrum.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
constexpr int mix_rate = 44100;
}

StillSpectrum::StillSpectrum()
    : decoder_(std::make_unique<SoundDecoder>()), analyser_(std::make_unique<SpectrumAnalyser>())
{
}

StillSpectrum::~StillSpectrum() = default;

bool StillSpectrum::open(const std::string &path)
{
    open_ = decoder_->open(path, mix_rate);
    return open_;
}

std::array<float, 512> StillSpectrum::at(double music_seconds)
{
    std::array<float, 512> out{};
    if (!open_ || !(music_seconds >= 0.0))
        return out;
    const auto frame = static_cast<std::int64_t>(std::floor(music_seconds * mix_rate));
    if (frame >= decoder_->length() || !decoder_->seek(frame))
        return out;
    std::vector<float> stereo(2 * spectrum_window, 0.0f);
    std::size_t got = 0;
    while (got < spectrum_window) {
        const std::size_t n = decoder_->read(stereo.data() + 2 * got, spectrum_window - got);
        if (n == 0)
            break;
        got += n;
    }
    std::array<float, spectrum_window> mono{};
    for (std::size_t i = 0; i < spectrum_window; ++i)
        mono[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    analyser_->analyse(mono, out);
    return out;
}
