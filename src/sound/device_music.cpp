#include "sound/device_music.h"

#include "sound/track_window.h"

DeviceMusic::DeviceMusic(DeviceClock device_clock, PlayFrom play_from, std::vector<float> stereo,
                         SpectrumFft fft)
    : clock_(std::move(device_clock)), play_from_(std::move(play_from)), stereo_(std::move(stereo)),
      analyser_(fft), playback_(static_cast<double>(stereo_.size() / 2) / track_rate)
{
}

double DeviceMusic::track_seconds() const
{
    return static_cast<double>(stereo_.size() / 2) / track_rate;
}

void DeviceMusic::start()
{
    volume_ = 255;
    playback_.start(clock_());
    play_from_(0.0);
}

bool DeviceMusic::seek(double seconds)
{
    const std::optional<double> from = playback_.seek(seconds, clock_());
    if (!from)
        return false;
    play_from_(*from);
    return true;
}

void DeviceMusic::copy_spectrum(std::array<float, 512> &out)
{
    out = track_spectrum_at(analyser_, stereo_, position(), volume_);
}

void DeviceMusic::set_paused(bool paused)
{
    if (paused)
        playback_.pause(clock_());
    else
        playback_.resume(clock_());
}
