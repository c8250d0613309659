// The show's own start-up and frame tick at 160 x 90 under Xvfb with the
// real sound device (SDL's dummy driver) playing a soundtrack of two
// seconds, and a stepped clock: start-up says the track is short, the
// picture follows the music while it plays, runs on by its own clock once
// the music has played out, and the show still reaches its end.
#include "app/show_spine.h"
#include "mp3_maker.h"
#include "runtime/frame_step.h"
#include "runtime/show_state.h"
#include "sound/music.h"
#include "stepped_show.h"
#include "waiting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace
{
constexpr double track_seconds = 2.0;

// The show's files from the source tree, with a short tone as the soundtrack.
fs::path short_track_data_folder()
{
    const fs::path source = fs::path(VELLAMOR_SOURCE_DIR) / "data";
    const fs::path data = scratch_dir() / "data";
    fs::create_directories(data);
    for (const char *folder : {"Materials", "PostProcessing", "neomeshes", "textures"})
        if (!fs::exists(data / folder))
            fs::create_directory_symlink(source / folder, data / folder);
    make_mp3(data / soundtrack_file, {.seconds = track_seconds, .frequency = 440.0, .amplitude = 0.3});
    return data;
}

using ShortSoundtrack = SteppedShow<LiveMusic>;
} // namespace

TEST_F(ShortSoundtrack, the_show_runs_on_alone_once_the_music_has_played_out)
{
    ASSERT_NO_FATAL_FAILURE(enter(short_track_data_folder()));
    window_width = render_width = 160;
    window_height = render_height = 90;
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(open_show("short soundtrack test", false, run));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Vellamor.mp3\" lasts 2.0 s, shorter than the show's 251 s"), std::string::npos)
        << said;

    // While the music plays, every tick adds a tenth of the gap to it.
    ASSERT_FALSE(music.has_ended());
    const double before = show_time;
    const double d = tick(0.05);
    EXPECT_NEAR(d, 0.05 + 0.1 * (music_time - before), 1e-9);

    // Played out, it stands at its end; far from there the show clock
    // moves by the clock's steps alone (a pull would take 0.8 s a tick).
    ASSERT_TRUE(eventually([&] { return music.has_ended(); }));
    place_show_at(10.0);
    for (int frame = 0; frame < 3; ++frame)
        EXPECT_NEAR(tick(0.05), 0.05, 1e-9) << "frame " << frame;
    EXPECT_NEAR(music_time, track_seconds, 1e-9);

    // And the show still ends.
    place_show_at(250.9);
    clock.advance(0.2);
    EXPECT_EQ(show_frame(), FrameEnd::ended);
}
