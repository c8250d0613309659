#include "sound/track_spectrum.h"

#include "sound/sound_decoder.h"
#include "sound/spectrum.h"
#include "sound/track_window.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int mix_rate = track_rate;
// Reading on is cheaper than a seek (which decodes from a frame boundary
// anyway) for gaps up to about this many frames.
constexpr std::int64_t read_on_limit = mix_rate / 2;
} // namespace

TrackSpectrum::TrackSpectrum()
    : decoder_(std::make_unique<SoundDecoder>()), analyser_(std::make_unique<SpectrumAnalyser>())
{
}

TrackSpectrum::~TrackSpectrum() = default;

bool TrackSpectrum::open(const std::string &path)
{
    // The scan makes the length exact and every seek a lookup; a file it
    // cannot scan to the end keeps the length the decoder knows.
    open_ = decoder_->open(path, mix_rate);
    if (open_)
        decoder_->scan();
    next_frame_ = open_ ? 0 : -1;
    return open_;
}

double TrackSpectrum::length_seconds() const
{
    return open_ ? static_cast<double>(decoder_->length()) / mix_rate : 0.0;
}

void TrackSpectrum::decode_window(std::int64_t start)
{
    stereo_.assign(2 * spectrum_window, 0.0f);
    const std::int64_t gap = start - next_frame_;
    if (next_frame_ < 0 || gap < 0 || gap > read_on_limit) {
        next_frame_ = decoder_->seek(start) ? start : -1;
        if (next_frame_ < 0)
            return;
    }
    std::vector<float> skip(2 * spectrum_window);
    while (next_frame_ < start) {
        const auto want =
            static_cast<std::size_t>(std::min<std::int64_t>(start - next_frame_, spectrum_window));
        const std::size_t n = decoder_->read(skip.data(), want);
        if (n == 0) {
            next_frame_ = -1;
            return;
        }
        next_frame_ += static_cast<std::int64_t>(n);
    }
    // Frames past the end stay silent, as the module plays silence there.
    std::size_t got = 0;
    while (got < spectrum_window) {
        const std::size_t n = decoder_->read(stereo_.data() + 2 * got, spectrum_window - got);
        if (n == 0)
            break;
        got += n;
    }
    next_frame_ += static_cast<std::int64_t>(got);
}

std::array<float, 512> TrackSpectrum::at(double music_seconds, int volume)
{
    const std::optional<std::int64_t> start =
        open_ ? analysed_window_at(music_seconds, decoder_->length()) : std::nullopt;
    if (!start)
        return {};
    decode_window(*start);
    return window_spectrum(*analyser_, stereo_, volume);
}
