// The music source of a show whose sound a device plays on its own clock
// (the browser build's WebAudio): the position, the end and the seeks from
// DevicePlayback at the device clock's reading, the spectrum computed from
// the decoded track in memory with the offline spectrum's arithmetic, and
// the show's clock read from the same device clock (show_clock()), so the
// picture follows the music heard and stands while the device is paused.
// The device itself is two calls: read its clock, and play the track from
// an offset now (after a start or a seek).
// Depends on: runtime/show_sources.h, sound/device_playback.h,
// sound/track_window.h. No audio device of its own; one thread.
#pragma once

#include "runtime/show_sources.h"
#include "sound/device_playback.h"
#include "sound/spectrum.h"

#include <functional>
#include <vector>

class DeviceMusic final : public MusicSource
{
  public:
    using DeviceClock = std::function<double()>;
    using PlayFrom = std::function<void(double track_seconds)>;

    // `stereo`: the decoded, trimmed track, interleaved left and right at
    // track_rate (empty: a silent track of no length).
    DeviceMusic(DeviceClock device_clock, PlayFrom play_from, std::vector<float> stereo,
                SpectrumFft fft = default_spectrum_fft());
    DeviceMusic(const DeviceMusic &) = delete; // its show clock refers to it
    DeviceMusic &operator=(const DeviceMusic &) = delete;

    void start() override;
    double position() override { return playback_.position(clock_()); }
    bool has_ended() override { return playback_.has_ended(clock_()); }
    bool seek(double seconds) override;
    void copy_spectrum(std::array<float, 512> &out) override;
    void set_volume(int volume) override { volume_ = volume; }
    int volume() const { return volume_; }
    // A hidden tab (or author mode's pause): the show and the music hold.
    void set_paused(bool paused) override;
    void close() override {}

    double track_seconds() const;
    // The show's clock: device seconds since the music started, pauses taken out.
    ShowClock &show_clock() { return show_clock_; }

  private:
    class Clock final : public ShowClock
    {
      public:
        explicit Clock(DeviceMusic &music) : music_(music) {}
        void reset() override { base_ = music_.playback_.clock(music_.clock_()); }
        double read() override { return music_.playback_.clock(music_.clock_()) - base_; }

      private:
        DeviceMusic &music_;
        double base_ = 0.0;
    };

    DeviceClock clock_;
    PlayFrom play_from_;
    std::vector<float> stereo_;
    SpectrumAnalyser analyser_;
    DevicePlayback playback_;
    Clock show_clock_{*this};
    int volume_ = 255;
};
