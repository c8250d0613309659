// The sound module playing real MP3 files through SDL's dummy driver, which
// consumes audio in real time without a sound card.
#include "mp3_maker.h"
#include "sound/sound.h"
#include "waiting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace
{
constexpr int rate = 44100;

// A 12 s file: 1 kHz for the first 6 s, then 3 kHz.
std::filesystem::path two_tone_file()
{
    static const auto path =
        make_mp3(scratch_dir() / "two-tone.mp3",
                 {.seconds = 12.0, .frequency = 1000.0, .switch_at = 6.0, .frequency_after = 3000.0});
    return path;
}

std::size_t peak_bin(const std::array<float, 512> &m)
{
    return static_cast<std::size_t>(std::max_element(m.begin(), m.end()) - m.begin());
}

class SoundPlaying : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ::setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_TRUE(sound.init(rate)) << sound.error();
        ASSERT_TRUE(sound.load(two_tone_file().string())) << sound.error();
        sound.set_spectrum_active(true);
    }
    Sound sound;
};
} // namespace

TEST_F(SoundPlaying, position_advances_in_real_time_at_the_mix_rate)
{
    EXPECT_EQ(sound.length(), 12 * rate);
    EXPECT_EQ(sound.frequency(Sound::channel), rate);
    EXPECT_EQ(sound.position(Sound::channel), 0U); // loaded, not yet playing
    ASSERT_TRUE(sound.play(Sound::channel));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(eventually([&] { return sound.position(Sound::channel) >= rate / 2; }));
    const std::uint32_t p = sound.position(Sound::channel);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // The position never runs ahead of the wall clock (beyond one device
    // buffer); it may trail when a loaded machine starves SDL's audio thread.
    EXPECT_LE(static_cast<double>(p), (seconds + 0.05) * rate);

    std::uint32_t last = p;
    for (int i = 0; i < 20; ++i) { // never runs backwards between seeks
        wait_ms(7);
        const std::uint32_t now = sound.position(Sound::channel);
        EXPECT_GE(now, last);
        last = now;
    }
    EXPECT_FALSE(sound.play(2)); // only channel 1 exists
    EXPECT_EQ(sound.position(2), 0U);
}

TEST_F(SoundPlaying, seek_is_immediate_and_playback_resumes_there)
{
    ASSERT_TRUE(sound.play(Sound::channel));
    ASSERT_TRUE(eventually([&] { return sound.position(Sound::channel) > 0; }));
    const auto sought = std::chrono::steady_clock::now();
    ASSERT_TRUE(sound.set_position(Sound::channel, 463050)); // 10.5 s
    // At once at the sought frame: at most the time since the seek later (the
    // audio thread may have started playing from there in between).
    const std::uint32_t at_once = sound.position(Sound::channel);
    const double after = std::chrono::duration<double>(std::chrono::steady_clock::now() - sought).count();
    EXPECT_GE(at_once, 463050U);
    EXPECT_LE(static_cast<double>(at_once), 463050.0 + (after + 0.005) * rate);
    // Once a quarter of a second from there is heard, what is heard is the
    // 3 kHz second half, and no more time passed than the clock allows.
    ASSERT_TRUE(eventually([&] { return sound.position(Sound::channel) >= 463050U + rate / 4; }));
    EXPECT_EQ(peak_bin(sound.spectrum()), 70U);
    const std::uint32_t heard = sound.position(Sound::channel);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - sought).count();
    EXPECT_LE(static_cast<double>(heard), 463050.0 + (seconds + 0.05) * rate);

    ASSERT_TRUE(sound.set_position(Sound::channel, 2 * rate)); // and back to 1 kHz
    ASSERT_TRUE(eventually([&] { return sound.position(Sound::channel) >= 2U * rate + rate / 4; }));
    EXPECT_EQ(peak_bin(sound.spectrum()), 23U);
}

TEST_F(SoundPlaying, pause_holds_the_position_and_resume_plays_on_from_it)
{
    ASSERT_TRUE(sound.play(Sound::channel));
    ASSERT_TRUE(eventually([&] { return sound.position(Sound::channel) >= rate / 10; }));
    sound.set_paused(Sound::channel, true);
    const std::uint32_t held = sound.position(Sound::channel);
    EXPECT_GT(held, 0U);
    wait_ms(300);
    EXPECT_EQ(sound.position(Sound::channel), held) << "a paused track does not move";

    // A seek while paused moves the held place and stays paused.
    ASSERT_TRUE(sound.set_position(Sound::channel, 8 * rate));
    wait_ms(200);
    EXPECT_EQ(sound.position(Sound::channel), 8U * rate);

    const auto resumed = std::chrono::steady_clock::now();
    sound.set_paused(Sound::channel, false);
    const std::uint32_t at_once = sound.position(Sound::channel);
    const double after = std::chrono::duration<double>(std::chrono::steady_clock::now() - resumed).count();
    EXPECT_GE(at_once, 8U * rate) << "resumes at the held frame, not before it";
    EXPECT_LE(static_cast<double>(at_once), 8.0 * rate + (after + 0.005) * rate) << "nor past it";
    ASSERT_TRUE(eventually([&] { return sound.position(Sound::channel) >= 8U * rate + rate / 4; }));
    const std::uint32_t p = sound.position(Sound::channel);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - resumed).count();
    EXPECT_LE(static_cast<double>(p), 8.0 * rate + (seconds + 0.05) * rate);
    EXPECT_EQ(peak_bin(sound.spectrum()), 70U); // 3 kHz: the second half is heard

    sound.set_paused(Sound::channel, false); // resuming twice changes nothing
    EXPECT_GE(sound.position(Sound::channel), p);
}

TEST_F(SoundPlaying, seek_at_or_past_the_end_fails_and_changes_nothing)
{
    ASSERT_TRUE(sound.set_position(Sound::channel, 3 * rate));
    ASSERT_TRUE(sound.play(Sound::channel));
    ASSERT_TRUE(eventually([&] { return sound.position(Sound::channel) > 0; })); // play starts from the top
    EXPECT_FALSE(sound.set_position(Sound::channel, 12 * rate));
    EXPECT_FALSE(sound.set_position(Sound::channel, 0xFFFFFFFFU));
    const std::uint32_t p = sound.position(Sound::channel);
    EXPECT_LT(p, 12U * rate);
    EXPECT_TRUE(sound.set_position(Sound::channel, 12 * rate - 1)); // the last frame is a place
}

TEST_F(SoundPlaying, spectrum_of_a_1khz_tone_peaks_in_bin_23_and_follows_the_volume)
{
    EXPECT_EQ(*std::max_element(sound.spectrum().begin(), sound.spectrum().end()), 0.0F);
    // The analysed window is the output of the last buffers mixed: once the
    // listener has heard four more device buffers, it holds only sound made
    // after the change.
    const auto hear_four_buffers = [&] {
        const std::uint32_t from = sound.position(Sound::channel);
        ASSERT_TRUE(
            eventually([&] { return sound.position(Sound::channel) >= from + 4 * Sound::device_frames; }));
    };
    ASSERT_TRUE(sound.play(Sound::channel));
    hear_four_buffers();
    const std::array<float, 512> full = sound.spectrum();
    EXPECT_EQ(peak_bin(full), 23U);      // 1000 Hz / (44100 / 1024) = 23.2
    EXPECT_NEAR(full[23], 0.88F, 0.06F); // amplitude 0.9, 0.98 of it on bin 23
    EXPECT_LT(full[60], 0.01F);

    sound.set_volume(Sound::channel, 128);
    hear_four_buffers();
    EXPECT_NEAR(sound.spectrum()[23], full[23] * 128.0F / 255.0F, 0.05F);
    sound.set_volume(Sound::channel, 0);
    hear_four_buffers();
    EXPECT_LT(*std::max_element(sound.spectrum().begin(), sound.spectrum().end()), 1e-6F);
    sound.set_volume(Sound::channel, 255);
    hear_four_buffers();
    EXPECT_NEAR(sound.spectrum()[23], full[23], 0.05F);

    sound.set_spectrum_active(false);
    EXPECT_EQ(*std::max_element(sound.spectrum().begin(), sound.spectrum().end()), 0.0F);
}

TEST(Sound, silence_reads_as_a_zero_spectrum_and_the_end_holds_still)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    const auto path = make_mp3(scratch_dir() / "silence.mp3", {.seconds = 0.5, .frequency = 0.0});
    Sound sound;
    ASSERT_TRUE(sound.init(rate)) << sound.error();
    ASSERT_TRUE(sound.load(path.string())) << sound.error();
    sound.set_spectrum_active(true);
    ASSERT_TRUE(sound.play(Sound::channel));
    ASSERT_TRUE(eventually([&] { return sound.position(Sound::channel) >= rate / 5; }));
    EXPECT_LT(*std::max_element(sound.spectrum().begin(), sound.spectrum().end()), 1e-4F);
    // Past the end: played once, the position stays at the end.
    ASSERT_TRUE(eventually([&] { return sound.finished(Sound::channel); }));
    EXPECT_EQ(sound.position(Sound::channel), sound.length());
    wait_ms(100);
    EXPECT_EQ(sound.position(Sound::channel), sound.length());
    ASSERT_TRUE(sound.set_position(Sound::channel, 100)); // a finished track can still seek
    EXPECT_EQ(sound.position(Sound::channel), 100U);
}

TEST(Sound, a_looping_track_starts_over_instead_of_stopping)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    const auto path = make_mp3(scratch_dir() / "short.mp3", {.seconds = 0.3});
    Sound sound;
    ASSERT_TRUE(sound.init(rate)) << sound.error();
    ASSERT_TRUE(sound.load(path.string())) << sound.error();
    sound.set_loop(true);
    sound.set_spectrum_active(true);
    ASSERT_TRUE(sound.play(Sound::channel));
    // Into the third time through, judged by the position coming round; a
    // looping track never reads as finished.
    int laps = 0;
    std::uint32_t last = 0;
    ASSERT_TRUE(eventually([&] {
        EXPECT_FALSE(sound.finished(Sound::channel));
        const std::uint32_t p = sound.position(Sound::channel);
        laps += p < last;
        last = p;
        return laps >= 2 && p > rate / 10;
    }));
    EXPECT_EQ(peak_bin(sound.spectrum()), 23U); // still sounding
}

TEST(Sound, fails_cleanly_without_device_or_file)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    Sound sound;
    EXPECT_FALSE(sound.load(two_tone_file().string())); // no device yet
    ASSERT_TRUE(sound.init(rate)) << sound.error();
    EXPECT_FALSE(sound.load((scratch_dir() / "missing.mp3").string()));
    EXPECT_NE(sound.error().find("missing.mp3"), std::string::npos);
    EXPECT_FALSE(sound.play(Sound::channel));
    EXPECT_FALSE(sound.set_position(Sound::channel, 0));
    EXPECT_EQ(sound.position(Sound::channel), 0U);
    EXPECT_EQ(sound.frequency(Sound::channel), 0);
    // A second load replaces a failed one, and close() twice is harmless.
    EXPECT_TRUE(sound.load(two_tone_file().string()));
    sound.close();
    sound.close();
}

TEST(Sound, positions_above_two_to_the_31_are_positive)
{
    EXPECT_NEAR(position_seconds(3'000'000'000U, rate), 68027.21, 0.01);
    EXPECT_NEAR(position_seconds(0xFFFFFFFFU, rate), 97391.55, 0.01);
    EXPECT_EQ(position_seconds(463050U, rate), 10.5);
    EXPECT_EQ(position_seconds(1000U, 0), 0.0); // nothing loaded
}
