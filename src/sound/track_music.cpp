#include "sound/track_music.h"

#include <algorithm>
#include <cmath>

bool TrackMusic::open(const std::string &path)
{
    return spectrum_.open(path);
}

void TrackMusic::enter_frame(double frame_time, double step)
{
    frame_time_ = frame_time;
    step_ = step;
}

void TrackMusic::start()
{
    enter_frame(0.0, 0.0);
    volume_ = 255;
}

bool TrackMusic::seek(double seconds)
{
    if (!(seconds >= 0.0) || !std::isfinite(seconds))
        return false;
    enter_frame(seconds, 0.0);
    return true;
}

bool TrackMusic::has_ended()
{
    return is_open() && position() >= spectrum_.length_seconds();
}

void TrackMusic::copy_spectrum(std::array<float, 512> &out)
{
    out = spectrum_.at(frame_time_, volume_);
}

void TrackMusic::set_volume(int volume)
{
    volume_ = std::clamp(volume, 0, 255);
}
