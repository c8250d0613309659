// The browser build's music on a stepped device clock: the show clock and
// the music position follow the device from the start, hold through a
// hidden tab, a seek restarts the track where asked (and nothing else), the
// end holds at the track's length; run through the desktop's frame
// arithmetic, the show is pulled to the music until 240 s and ends on the
// first frame past 251 s. The spectrum is the offline spectrum's.
#include "runtime/frame_step.h"
#include "sound/device_music.h"
#include "sound/track_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace
{
// A stereo track of `seconds` at track_rate: a 1 kHz tone on both channels.
std::vector<float> tone_track(double seconds)
{
    const auto frames = static_cast<std::size_t>(seconds * track_rate);
    std::vector<float> stereo(2 * frames);
    for (std::size_t i = 0; i < frames; ++i)
        stereo[2 * i] = stereo[2 * i + 1] = static_cast<float>(
            0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * static_cast<double>(i) / track_rate));
    return stereo;
}

struct Device {
    double now = 37.25; // a device clock that started long before the show
    std::vector<double> played_from;
};

DeviceMusic music_on(Device &device, double seconds)
{
    return DeviceMusic([&device] { return device.now; },
                       [&device](double from) { device.played_from.push_back(from); }, tone_track(seconds),
                       SpectrumFft::ours);
}
} // namespace

TEST(DeviceMusic, clock_and_position_follow_the_device_from_the_start_and_hold_while_hidden)
{
    Device device;
    DeviceMusic music = music_on(device, 20.0);
    device.now += 3.0; // the decode and the set-up before the start
    music.start();
    music.show_clock().reset();
    EXPECT_EQ(device.played_from, std::vector<double>{0.0});
    EXPECT_EQ(music.position(), 0.0);
    EXPECT_EQ(music.show_clock().read(), 0.0);

    device.now += 1.5;
    EXPECT_DOUBLE_EQ(music.position(), 1.5);
    EXPECT_DOUBLE_EQ(music.show_clock().read(), 1.5);

    // Hidden for 10 s, and the device clock moved on anyway (a suspend that
    // took effect late): neither the show nor the music moves.
    music.set_paused(true);
    device.now += 10.0;
    EXPECT_DOUBLE_EQ(music.position(), 1.5);
    EXPECT_DOUBLE_EQ(music.show_clock().read(), 1.5);
    music.set_paused(true); // a second hide changes nothing
    device.now += 1.0;
    music.set_paused(false);
    EXPECT_DOUBLE_EQ(music.position(), 1.5);
    device.now += 0.25;
    EXPECT_DOUBLE_EQ(music.position(), 1.75);
    EXPECT_DOUBLE_EQ(music.show_clock().read(), 1.75);
    EXPECT_EQ(device.played_from.size(), 1u) << "a hidden tab does not restart the track";
}

TEST(DeviceMusic, a_seek_restarts_the_track_there_and_refuses_times_outside_it)
{
    Device device;
    DeviceMusic music = music_on(device, 20.0);
    music.start();
    music.show_clock().reset();
    device.now += 2.0;
    ASSERT_TRUE(music.seek(12.5));
    EXPECT_EQ(device.played_from, (std::vector<double>{0.0, 12.5}));
    EXPECT_DOUBLE_EQ(music.position(), 12.5);
    EXPECT_DOUBLE_EQ(music.show_clock().read(), 2.0) << "a seek does not move the show clock";
    device.now += 0.5;
    EXPECT_DOUBLE_EQ(music.position(), 13.0);

    for (double bad : {-0.5, 20.0, 25.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(music.seek(bad)) << bad;
    EXPECT_EQ(device.played_from.size(), 2u);
    EXPECT_DOUBLE_EQ(music.position(), 13.0);
}

TEST(DeviceMusic, the_track_ends_at_its_length_and_a_silent_track_ends_at_once)
{
    Device device;
    DeviceMusic music = music_on(device, 2.0);
    EXPECT_FALSE(music.has_ended()) << "not before the start";
    music.start();
    device.now += 1.999;
    EXPECT_FALSE(music.has_ended());
    device.now += 0.5;
    EXPECT_TRUE(music.has_ended());
    EXPECT_DOUBLE_EQ(music.position(), 2.0);

    Device other;
    DeviceMusic silent([&other] { return other.now; }, [](double) {}, {}, SpectrumFft::ours);
    silent.start();
    EXPECT_TRUE(silent.has_ended());
    std::array<float, 512> spectrum{};
    spectrum.fill(1.0F);
    silent.copy_spectrum(spectrum);
    EXPECT_EQ(spectrum, (std::array<float, 512>{}));
}

// The frame loop's arithmetic as the show runs it at 50 frames a second,
// the show clock and the music from the device.
TEST(DeviceMusic, the_show_is_pulled_to_the_music_until_240_s_and_ends_past_251_s)
{
    Device device;
    DeviceMusic music = music_on(device, 251.5);
    music.start();
    ShowClock &clock = music.show_clock();
    clock.reset();
    double previous = clock.read(), show_time = 0.0;
    auto frame = [&] {
        device.now += 0.02;
        const double now = clock.read();
        double step = clock_step(now, previous);
        previous = now;
        if (!music.has_ended())
            step = music_pull(step, show_time, music.position());
        show_time += step;
    };
    while (show_time < 100.0)
        frame();
    // The pull reads the music as the frame's step begins, so the show time
    // drawn is that reading plus the step.
    EXPECT_NEAR(show_time - 0.02, music.position(), 1e-6) << "in step from the start";

    // The left button asks for 150 s: the music goes there and the show
    // follows within a few seconds.
    ASSERT_TRUE(music.seek(150.0));
    for (int i = 0; i < 5 * 50; ++i)
        frame();
    EXPECT_NEAR(show_time - 0.02, music.position(), 1e-3);

    // Past 240 s the show runs on its own: a seek back no longer pulls it.
    while (show_time <= 240.5)
        frame();
    ASSERT_TRUE(music.seek(200.0));
    const double before = show_time;
    for (int i = 0; i < 50; ++i)
        frame();
    EXPECT_NEAR(show_time - before, 1.0, 1e-6);

    ASSERT_TRUE(music.seek(251.0));
    int frames = 0;
    while (!show_has_ended(show_time)) {
        frame();
        ++frames;
        ASSERT_LT(frames, 100 * 50) << "the show never ended";
    }
    EXPECT_GT(show_time, 251.0);
    EXPECT_LE(show_time, 251.02 + 1e-9);
}

TEST(DeviceMusic, the_spectrum_is_the_tracks_at_the_position_heard_after_the_volume)
{
    Device device;
    DeviceMusic music = music_on(device, 3.0);
    const std::vector<float> track = tone_track(3.0);
    SpectrumAnalyser analyser(SpectrumFft::ours);
    music.start();
    device.now += 1.234;
    std::array<float, 512> heard{};
    music.copy_spectrum(heard);
    EXPECT_EQ(heard, track_spectrum_at(analyser, track, 1.234));
    EXPECT_NEAR(heard[23], 0.5 * 0.95, 0.1) << "the 1 kHz tone";
    music.set_volume(0);
    music.copy_spectrum(heard);
    EXPECT_EQ(heard, (std::array<float, 512>{}));
}
