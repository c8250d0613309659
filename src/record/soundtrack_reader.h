// The soundtrack as one stream of stereo floats from a start frame on:
// silence past the track's end, or throughout when the file cannot be
// decoded, so the sound of a recording always lasts as long as its picture.
// Depends on: sound/sound_decoder.h. One thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class SoundDecoder;

class SoundtrackReader
{
  public:
    SoundtrackReader();
    ~SoundtrackReader();

    // False when the file cannot be decoded (reads give silence then).
    bool open(const std::string &path, int rate, std::int64_t start_frame);
    // Fills `frames` stereo frames.
    void read(float *stereo, std::size_t frames);
    // The track's length in seconds (0 without one).
    double length_seconds() const;

  private:
    std::unique_ptr<SoundDecoder> decoder_;
    bool open_ = false;
    int rate_ = 44100;
};
