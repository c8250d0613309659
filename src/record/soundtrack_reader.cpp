#include "record/soundtrack_reader.h"

#include "sound/sound_decoder.h"

#include <algorithm>

SoundtrackReader::SoundtrackReader() : decoder_(std::make_unique<SoundDecoder>()) {}

SoundtrackReader::~SoundtrackReader() = default;

bool SoundtrackReader::open(const std::string &path, int rate, std::int64_t start_frame)
{
    rate_ = rate;
    open_ = decoder_->open(path, rate);
    if (!open_)
        return false;
    decoder_->scan();
    // A start past the end reads silence from the beginning.
    open_ = start_frame < decoder_->length() && decoder_->seek(std::max<std::int64_t>(start_frame, 0));
    return true;
}

void SoundtrackReader::read(float *stereo, std::size_t frames)
{
    std::size_t got = 0;
    while (open_ && got < frames) {
        const std::size_t n = decoder_->read(stereo + 2 * got, frames - got);
        if (n == 0)
            open_ = false; // the end, or a rest that cannot be decoded
        got += n;
    }
    std::fill(stereo + 2 * got, stereo + 2 * frames, 0.0F);
}

double SoundtrackReader::length_seconds() const
{
    return static_cast<double>(decoder_->length()) / rate_;
}
