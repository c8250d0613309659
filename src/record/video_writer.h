// A video file through FFmpeg's libraries: H.264 (yuv420p, CRF, x264
// preset) and AAC stereo in MP4 or Matroska, the container chosen by the
// file name. Frames come as RGB rows, top row first; sound as interleaved
// stereo floats. The streams start together at time 0.
// Depends on: libavformat, libavcodec, libswscale, libavutil.
// Limits: one thread at a time (the recorder's encoding thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct VideoSettings {
    int width = 1920;
    int height = 1080;
    int fps = 60;
    int crf = 18;
    std::string preset = "medium";
    bool audio = true;
    int sample_rate = 44100;
    int audio_bit_rate = 192000;
    // libavformat's name of the container ("mp4", "matroska"); empty: the
    // one the file name asks for.
    std::string container;
};

class VideoWriter
{
  public:
    VideoWriter();
    ~VideoWriter(); // without finish(): releases everything, the file as it stands
    VideoWriter(const VideoWriter &) = delete;
    VideoWriter &operator=(const VideoWriter &) = delete;

    // Creates the file and writes its header. False with the path and the
    // reason in error() (nothing is left behind then).
    bool open(const std::string &path, const VideoSettings &settings);
    bool write_frame(const std::uint8_t *rgb);
    bool write_audio(const float *stereo, std::size_t frames);
    // Drains the encoders and writes the index (the file plays from then
    // on). False with the reason in error().
    bool finish();

    long frames_written() const;
    const std::string &error() const;
    // True when the error is a failed allocation (libav's or the encoder's).
    bool out_of_memory() const;
    // Seconds spent converting RGB to YUV and in the encoders and muxer.
    double convert_seconds() const;
    double encode_seconds() const;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};
