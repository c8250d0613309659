// The soundtrack played by a device whose clock we can only read: the
// browser's AudioContext, whose currentTime is the sample clock of what is
// being played. The show's clock and the music position both come from that
// clock, so the picture follows the music as heard. A hidden tab suspends
// the device (its clock then stands) and pause/resume take out whatever the
// device clock moved between them, so the show holds rather than jumps. A
// seek starts the track again at the sought position; the show clock is
// not moved by it (the frame loop's pull closes the gap, as on the desktop).
// Depends on: nothing. Pure arithmetic on device clock readings (seconds).
#pragma once

#include <optional>

class DevicePlayback
{
  public:
    // A track of `track_seconds` (0 or less: no track; the clock still runs).
    explicit DevicePlayback(double track_seconds);

    // Playing from 0 at device time `now`.
    void start(double now);
    bool started() const { return started_; }

    // Seconds of device time since the start, without paused stretches:
    // the show's clock (0 before the start).
    double clock(double now) const;

    // The track position heard at `now`, held at the track's end.
    double position(double now) const;
    bool has_ended(double now) const;

    // Plays on from `seconds` from `now`; nothing changes (none) for a time
    // outside the track. Returns where the device must start the track.
    std::optional<double> seek(double seconds, double now);

    // The tab was hidden at `now` / shown again at `now`.
    void pause(double now);
    void resume(double now);
    bool paused() const { return paused_at_.has_value(); }

  private:
    double running(double now) const; // unpaused device seconds since the start

    double length_;
    bool started_ = false;
    double start_ = 0.0;  // device time of the start
    double held_ = 0.0;   // device seconds spent paused
    double offset_ = 0.0; // track position at `offset_at_` (running seconds)
    double offset_at_ = 0.0;
    std::optional<double> paused_at_;
};
