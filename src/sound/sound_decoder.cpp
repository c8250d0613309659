// MP3 decoding through libmpg123 (see sound_decoder.h).
#include "sound/sound_decoder.h"

#include <mpg123.h>

#include <mutex>

namespace
{
// mpg123_init is a no-op on current versions but must precede every handle
// on older ones; once per process.
bool library_ready()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = mpg123_init() == MPG123_OK; });
    return ok;
}
} // namespace

SoundDecoder::~SoundDecoder()
{
    close();
}

void SoundDecoder::close()
{
    if (handle_ != nullptr) {
        mpg123_close(handle_);
        mpg123_delete(handle_);
        handle_ = nullptr;
    }
    length_ = 0;
}

bool SoundDecoder::open(const std::string &path, int rate)
{
    close();
    error_.clear();
    if (!library_ready()) {
        error_ = "the MP3 decoder could not start";
        return false;
    }
    int err = MPG123_OK;
    handle_ = mpg123_new(nullptr, &err);
    if (handle_ == nullptr) {
        error_ = mpg123_plain_strerror(err);
        return false;
    }
    // Quiet: the decoder must not print on its own. Gapless trims the
    // encoder's delay so that sample 0 is the first sample of the music.
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    // Allow one output format only; the decoder converts channels and rate.
    mpg123_format_none(handle_);
    if (mpg123_format(handle_, rate, MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK) {
        error_ = mpg123_strerror(handle_);
        close();
        return false;
    }
    if (mpg123_open(handle_, path.c_str()) != MPG123_OK) {
        error_ = mpg123_strerror(handle_);
        close();
        return false;
    }
    long got_rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle_, &got_rate, &channels, &encoding) != MPG123_OK || got_rate != rate ||
        channels != 2 || encoding != MPG123_ENC_FLOAT_32) {
        error_ = "not an MP3 file the decoder can convert to the mix rate";
        close();
        return false;
    }
    const off_t length = mpg123_length(handle_);
    if (length <= 0) {
        error_ = "the file holds no audio";
        close();
        return false;
    }
    length_ = static_cast<std::int64_t>(length);
    return true;
}

bool SoundDecoder::scan()
{
    if (handle_ == nullptr)
        return false;
    // Scanning builds the complete frame index and seeks back to where
    // decoding stood, sample-exact.
    if (mpg123_scan(handle_) != MPG123_OK) {
        error_ = mpg123_strerror(handle_);
        return false;
    }
    const off_t length = mpg123_length(handle_);
    if (length > 0)
        length_ = static_cast<std::int64_t>(length);
    return true;
}

bool SoundDecoder::seek(std::int64_t frame)
{
    if (handle_ == nullptr || frame < 0 || frame > length_)
        return false;
    return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) == static_cast<off_t>(frame);
}

std::size_t SoundDecoder::read(float *out, std::size_t frames)
{
    if (handle_ == nullptr)
        return 0;
    constexpr std::size_t frame_bytes = 2 * sizeof(float);
    auto *bytes = reinterpret_cast<unsigned char *>(out);
    std::size_t filled = 0;
    while (filled < frames * frame_bytes) {
        std::size_t done = 0;
        const int r = mpg123_read(handle_, bytes + filled, frames * frame_bytes - filled, &done);
        filled += done;
        if (r == MPG123_NEW_FORMAT || (r == MPG123_OK && done > 0))
            continue;
        break; // MPG123_DONE, an error, or nothing more to give
    }
    return filled / frame_bytes;
}
