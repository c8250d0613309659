// A video file decoded through libavformat for the tests: its streams,
// every picture as packed yuv420p planes, the sound mixed to mono.
#pragma once

extern "C" {
#include <libavutil/frame.h>
}

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct Decoded {
    int video_streams = 0, audio_streams = 0;
    std::string video_codec, audio_codec;
    double video_seconds = 0.0, audio_seconds = 0.0; // as the streams say
    std::vector<std::vector<std::uint8_t>> pictures; // Y, U, V planes packed
    std::vector<float> sound;                        // mono, at the file's rate
};

// The planes of a yuv420p frame, packed without padding.
std::vector<std::uint8_t> packed_yuv(const AVFrame *f);

Decoded decode(const std::filesystem::path &file);
