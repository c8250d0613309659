// Where the frame loop takes its time and its music from. The live show
// reads the steady clock and the sound device; an export, a still or a
// test drives the same loop with a clock that moves only when told and a
// soundtrack decoded offline, so every frame is a pure function of time.
// Depends on: nothing (the music implementations live in the sound module).
#pragma once

#include <array>

// The clock of the frame loop's first step.
class ShowClock
{
  public:
    virtual ~ShowClock() = default;
    // Elapsed time back to 0.
    virtual void reset() = 0;
    // Elapsed seconds since the last reset.
    virtual double read() = 0;
};

// The real clock (runtime/clock.h): every read advances it.
class SteadyShowClock final : public ShowClock
{
  public:
    void reset() override;
    double read() override;
};

// A clock that stands still until it is set or advanced; every read in
// between gives the same value.
class SteppedClock final : public ShowClock
{
  public:
    void reset() override { now_ = 0.0; }
    double read() override { return now_; }
    void set(double seconds) { now_ = seconds; }
    void advance(double seconds) { now_ += seconds; }
    double now() const { return now_; }

  private:
    double now_ = 0.0;
};

// The music as the frame loop uses it: start, the position heard now (to
// pull the show clock toward it), seeking, the spectrum, the volume.
class MusicSource
{
  public:
    virtual ~MusicSource() = default;
    // Loads the soundtrack and plays it from the start at full volume.
    virtual void start() = 0;
    // Music seconds heard now.
    virtual double position() = 0;
    // True once the track has played to its end (it stands there, silent):
    // the show clock then runs on alone.
    virtual bool has_ended() = 0;
    // Moves the music to `seconds`; false (and nothing changes) for a time
    // outside the track.
    virtual bool seek(double seconds) = 0;
    // The 512 spectrum magnitudes of what is heard now.
    virtual void copy_spectrum(std::array<float, 512> &out) = 0;
    // 0..255.
    virtual void set_volume(int volume) = 0;
    // Author mode's pause: the music holds where it is heard (position()
    // stays there, a seek moves it) and resumes from that point. A source
    // that its caller steps frame by frame has nothing to hold.
    virtual void set_paused(bool) {}
    virtual void close() = 0;
};
