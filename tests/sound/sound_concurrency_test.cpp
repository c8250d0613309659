// The main thread hammering every query and control of the sound module
// while the audio callback and the decoder run. Built with
// -fsanitize=thread this proves the threads share no unsynchronised data;
// in every build it checks that what the main thread reads stays coherent.
#include "mp3_maker.h"
#include "sound/sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

TEST(SoundThreads, queries_seeks_and_volume_changes_during_playback_stay_coherent)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    const auto path = make_mp3(scratch_dir() / "busy.mp3", {.seconds = 6.0, .frequency = 2000.0});
    Sound sound;
    ASSERT_TRUE(sound.init(44100)) << sound.error();
    ASSERT_TRUE(sound.load(path.string())) << sound.error();
    sound.set_spectrum_active(true);
    ASSERT_TRUE(sound.play(Sound::channel));

    const auto length = static_cast<std::uint32_t>(sound.length());
    std::uint32_t floor = 0; // no position may precede the last seek target
    std::uint32_t last = 0;
    std::uint32_t generator = 12345;
    // A fixed number of rounds (about a second on an idle machine): a busy
    // machine takes longer, it does not test less.
    for (int i = 0; i < 3000; ++i) {
        const std::uint32_t p = sound.position(Sound::channel);
        ASSERT_LE(p, length);
        ASSERT_GE(p, floor) << "position fell behind the seek target";
        ASSERT_GE(p, last) << "position ran backwards without a seek";
        last = p;
        for (const float v : sound.spectrum())
            ASSERT_TRUE(std::isfinite(v) && v >= 0.0F && v < 2.0F);
        generator = generator * 1664525U + 1013904223U;
        sound.set_volume(Sound::channel, static_cast<int>(generator >> 24));
        if (i % 50 == 0) {
            const std::uint32_t target = (generator >> 8) % (length / 2);
            ASSERT_TRUE(sound.set_position(Sound::channel, target));
            floor = last = target;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    sound.close();
}
