// The show's music calls: set-up with its two fatal failures and the
// per-frame calls. The frame loop's pull toward the music is tested through
// the loop itself (tests/app).
#include "mp3_maker.h"
#include "sound/music.h"
#include "waiting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

namespace
{
// A working folder holding the soundtrack where the show looks for it.
void enter_show_folder(double seconds)
{
    const auto dir = scratch_dir() / "show";
    make_mp3(dir / soundtrack_file, {.seconds = seconds, .frequency = 1000.0});
    std::filesystem::current_path(dir);
}

class MusicDeathTest : public ::testing::Test
{
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};
} // namespace

TEST_F(MusicDeathTest, no_audio_device_exits_with_code_1_and_says_so)
{
    EXPECT_EXIT(
        {
            ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            music_start();
        },
        ::testing::ExitedWithCode(1),
        // Then SDL's own reason, so the user learns which device or driver.
        "ZVX  : Problem initializing FMod\\. \nProgram will now exit\\.\n"
        "sound: the audio device cannot be opened: .*no-such-driver");
}

TEST_F(MusicDeathTest, missing_soundtrack_exits_with_code_0_and_says_so)
{
    const auto empty = scratch_dir() / "no-music-here";
    std::filesystem::create_directories(empty);
    EXPECT_EXIT(
        {
            ::setenv("SDL_AUDIODRIVER", "dummy", 1);
            std::filesystem::current_path(empty);
            music_start();
        },
        ::testing::ExitedWithCode(0),
        "ZVX  : Problem initializing FMod\\. \nNo sound file\\.\nsound: the soundtrack \"music//Orvel ft "
        "Mirel - Vellamor\\.mp3\" cannot be played: .+");
}

TEST(Music, plays_seeks_in_whole_samples_and_reads_the_spectrum)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    enter_show_folder(12.0);
    music_start();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(eventually([] { return music_read_time() >= 0.15; }));
    // Playing from the top, never ahead of the wall clock.
    EXPECT_LE(music_read_time(),
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() + 0.05);

    ASSERT_TRUE(music_seek(10.5));
    EXPECT_EQ(music_read_time() * 44100.0, 463050.0); // exactly 10.5 s
    ASSERT_TRUE(music_seek(1.0 / 44100.0 * 0.999));   // the integer part: frame 0
    EXPECT_EQ(music_read_time(), 0.0);
    EXPECT_FALSE(music_seek(12.0)); // the end is no position
    EXPECT_FALSE(music_seek(-1.0));
    EXPECT_FALSE(music_seek(1e6)); // beyond 32 bits of frames
    EXPECT_FALSE(music_seek(std::nan("")));
    EXPECT_LT(music_read_time(), 1.0); // failed seeks changed nothing

    // Four device buffers on, the analysed window holds only what followed.
    const auto hear_four_buffers = [] {
        const double from = music_read_time();
        ASSERT_TRUE(eventually([&] { return music_read_time() >= from + 4 * 1024 / 44100.0; }));
    };
    hear_four_buffers();
    std::array<float, 512> spectrum{};
    music_copy_spectrum(spectrum);
    EXPECT_EQ(std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin(), 23);
    music_set_volume(0);
    hear_four_buffers();
    music_copy_spectrum(spectrum);
    EXPECT_LT(*std::max_element(spectrum.begin(), spectrum.end()), 1e-6F);

    // A track at least as long as the show goes without a word.
    EXPECT_EQ(music_length(), 12.0);
    ::testing::internal::CaptureStderr();
    music_warn_if_shorter_than(12.0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ::testing::internal::CaptureStderr();
    music_warn_if_shorter_than(251.0);
    const std::string warning = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(
        warning.find("music/Orvel ft Mirel - Vellamor.mp3\" lasts 12.0 s, shorter than the show's 251 s"),
        std::string::npos)
        << warning;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
    music_close();
    EXPECT_EQ(music_read_time(), 0.0);
}
