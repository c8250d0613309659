// MP3 decoding for the sound module: one file through libmpg123, always
// delivered as interleaved 32-bit float stereo at the mix rate.
//
// Depends on: libmpg123. Files at another sample rate go through the
// decoder's own resampler (exact 2:1 and 4:1, otherwise its simple N-to-M
// one); mono files come out on both channels. Gapless: the encoder's delay
// and padding are removed when the file carries a LAME/Xing tag.
// Limits: one thread at a time. open() reads only the start of the file, so
// it returns at once; the length it knows comes from the LAME/Xing tag (exact)
// or, without one, from the file size (an estimate). scan() reads every frame
// header once (tens of milliseconds for a four-minute file): the length
// becomes exact and every later seek a lookup in the frame index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct mpg123_handle_struct;

class SoundDecoder
{
  public:
    SoundDecoder() = default;
    ~SoundDecoder();
    SoundDecoder(const SoundDecoder &) = delete;
    SoundDecoder &operator=(const SoundDecoder &) = delete;

    // False when the file is missing, unreadable, not MP3 or holds no audio;
    // error() then says why.
    bool open(const std::string &path, int rate);
    void close();

    // Reads every frame header; the next read() goes on where it was.
    bool scan();

    // Length in frames at the mix rate (one frame = one stereo sample pair);
    // exact after scan(), and before it when the file has a LAME/Xing tag.
    std::int64_t length() const { return length_; }

    // Sample-exact: the next read() starts at `frame`.
    bool seek(std::int64_t frame);

    // Decodes up to `frames` frames into `out` (2 floats each); returns the
    // number decoded, 0 at the end of the file or on a decoding error.
    std::size_t read(float *out, std::size_t frames);

    const std::string &error() const { return error_; }

  private:
    mpg123_handle_struct *handle_ = nullptr;
    std::int64_t length_ = 0;
    std::string error_;
};
