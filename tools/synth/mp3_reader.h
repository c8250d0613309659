// Decoding an MP3 at its own rate with libmpg123, gapless (the encoder's
// delay and padding trimmed), as float samples.
//
// Depends on: dsp.h, libmpg123. Mono files come back with both channels
// equal.
#pragma once

#include "dsp.h"

#include <string>

namespace synth
{

struct DecodedAudio {
    long rate = 0;
    int channels = 0;
    StereoBuffer audio;
    double seconds() const { return rate ? static_cast<double>(audio.frames()) / rate : 0.0; }
};

// False with `error` set when the file cannot be opened or decoded.
bool read_mp3(const std::string &path, DecodedAudio &out, std::string &error);

} // namespace synth
