// A WAV file of 16-bit stereo PCM, written as it comes; the sizes in the
// header are filled in by finish(). Depends on: stdio.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter
{
  public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter &) = delete;
    WavWriter &operator=(const WavWriter &) = delete;

    // False (with the path and reason in error()) when the file cannot be made.
    bool open(const std::string &path, int rate);
    // Interleaved stereo floats, clipped to [-1, 1].
    bool write(const float *stereo, std::size_t frames);
    // Fills in the header and closes; false when any write failed.
    bool finish();
    const std::string &error() const { return error_; }

  private:
    bool fail(const char *what);

    std::FILE *file_ = nullptr;
    std::string path_;
    std::string error_;
    std::uint64_t data_bytes_ = 0;
    int rate_ = 0;
};
