// The soundtrack as a music source without a sound device: the music of a
// machine with no frame-time limit, on which the music heard and the show
// clock agree. Whoever drives the frame loop tells it each frame's time;
// the position then reads where the show clock stands as the frame's step
// begins (so the pull toward the music adds nothing) and the spectrum is
// the one the sound module reports at the frame's own time.
// Depends on: sound/track_spectrum.h. No audio device; one thread.
#pragma once

#include "runtime/show_sources.h"
#include "sound/track_spectrum.h"

#include <string>

class TrackMusic final : public MusicSource
{
  public:
    // False when the file cannot be decoded: the spectrum is then silent,
    // the position moves all the same.
    bool open(const std::string &path);
    bool is_open() const { return spectrum_.is_open(); }

    // The frame about to run shows music time `frame_time`, reached by a
    // clock step of `step` seconds.
    void enter_frame(double frame_time, double step);

    void start() override;
    double position() override { return frame_time_ - step_; }
    // Once the position reaches the track's length (never without a track).
    bool has_ended() override;
    bool seek(double seconds) override;
    void copy_spectrum(std::array<float, 512> &out) override;
    void set_volume(int volume) override;
    void close() override {}

  private:
    TrackSpectrum spectrum_;
    double frame_time_ = 0.0;
    double step_ = 0.0;
    int volume_ = 255;
};
