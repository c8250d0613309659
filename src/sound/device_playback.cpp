#include "sound/device_playback.h"

#include <algorithm>
#include <cmath>

DevicePlayback::DevicePlayback(double track_seconds)
    : length_(std::isfinite(track_seconds) ? std::max(track_seconds, 0.0) : 0.0)
{
}

void DevicePlayback::start(double now)
{
    started_ = true;
    start_ = now;
    held_ = offset_ = offset_at_ = 0.0;
    paused_at_.reset();
}

double DevicePlayback::running(double now) const
{
    if (!started_)
        return 0.0;
    // A reading earlier than one already used (a device restarted) counts
    // as no time at all.
    const double until = paused_at_ ? *paused_at_ : now;
    return std::max(until - start_ - held_, 0.0);
}

double DevicePlayback::clock(double now) const
{
    return running(now);
}

double DevicePlayback::position(double now) const
{
    const double at = offset_ + std::max(running(now) - offset_at_, 0.0);
    return std::min(at, length_);
}

bool DevicePlayback::has_ended(double now) const
{
    return started_ && position(now) >= length_;
}

std::optional<double> DevicePlayback::seek(double seconds, double now)
{
    if (!started_ || !(seconds >= 0.0) || !(seconds < length_))
        return std::nullopt;
    offset_ = seconds;
    offset_at_ = running(now);
    return seconds;
}

void DevicePlayback::pause(double now)
{
    if (started_ && !paused_at_)
        paused_at_ = std::max(now, start_ + held_);
}

void DevicePlayback::resume(double now)
{
    if (!paused_at_)
        return;
    held_ += std::max(now - *paused_at_, 0.0);
    paused_at_.reset();
}
