// MP3 encoding of a stereo buffer with libmp3lame: constant bit rate, joint
// stereo, with the encoder's info frame (delay and padding) so that
// decoders can trim the encoder's padding and keep the length exact.
//
// Depends on: dsp.h, <lame/lame.h>. Input samples are floats in [-1, 1].
#pragma once

#include "dsp.h"

#include <string>
#include <vector>

namespace synth
{

struct Mp3Settings {
    int kbps = 192;
    int quality = 2; // LAME's algorithm quality: 0 best .. 9 fastest
};

// The encoded file; empty with `error` set when the encoder fails.
std::vector<unsigned char> encode_mp3(const StereoBuffer &audio, const Mp3Settings &settings,
                                      std::string &error);

} // namespace synth
