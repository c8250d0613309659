// The show's own start-up and frame tick at 160 x 90 under Xvfb, with a
// soundtrack of two seconds: the picture follows the music while it plays,
// runs on by its own clock once the music has played out, and the show ends
// by itself with exit status 0. The ending exits the process, so each run
// lives in a death-test child.
#include "app/show_spine.h"
#include "mp3_maker.h"
#include "runtime/frame_step.h"
#include "runtime/show_state.h"
#include "shell/window.h"
#include "sound/music.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

[[noreturn]] void fail(int code, const char *what)
{
    std::fprintf(stderr, "%s (show time %.3f, music time %.3f)\n", what, show_time, music_time);
    std::_Exit(code);
}

// Runs the show in this process: start-up through the program's own window
// code, then tick and present as the message loop does, until the show ends
// the process. Every check failure exits with its own code.
[[noreturn]] void run_short_track_show()
{
    fs::current_path(short_track_data_folder());
    window_width = render_width = 160;
    window_height = render_height = 90;
    static SteadyShowClock real_clock;
    static LiveMusic music;
    static ShowRun run{real_clock, music};
    if (!open_show("show loop test", false, run))
        fail(2, "no window");

    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::seconds(60);
    double largest_gap_while_playing = 0.0;
    double ended_at = -1.0;
    for (int frame = 0;; ++frame) {
        show_frame();
        swap_buffers();
        if (clock::now() > deadline)
            fail(3, "the music did not end");
        const bool ended = music_has_ended();
        // While the music plays, the pull keeps the picture on it (a few
        // frames' steps at most at this frame rate).
        if (!ended && frame > 30)
            largest_gap_while_playing = std::max(largest_gap_while_playing, std::abs(show_time - music_time));
        if (ended) {
            ended_at = show_time;
            break;
        }
    }
    if (largest_gap_while_playing > 0.25)
        fail(4, "the show time did not follow the music");
    // Held by a pull toward a silent end, the show time would settle about
    // ten frame steps past it (the gap g becomes 0.9 g + step each frame:
    // under 8 steps after 15 frames); on its own clock it gains a whole step
    // every frame. Frames are slow here (llvmpipe), so the test counts steps.
    const auto counted_from = clock::now();
    constexpr int frames = 15;
    for (int frame = 0; frame < frames; ++frame) {
        show_frame();
        swap_buffers();
    }
    const double step = std::chrono::duration<double>(clock::now() - counted_from).count() / frames;
    std::fprintf(stderr, "after the music: %d frames of %.3f s, show time %.3f -> %.3f\n", frames, step,
                 ended_at, show_time);
    if (show_time - track_seconds < 11.0 * step)
        fail(5, "the show time stood still after the music");
    if (!music_has_ended() || std::abs(music_time - track_seconds) > 0.05)
        fail(6, "the music does not stand at its end");
    std::fprintf(stderr, "the show ran on past the music to %.3f\n", show_time);

    // The rest of the show's 251 s, on the real clock, would take minutes:
    // move the show clock close to its end and let the tick end it.
    show_time = show_end_time - 0.5;
    for (;;) {
        if (show_frame() == FrameEnd::ended)
            end_show(); // as the message loop does
        swap_buffers();
        if (clock::now() > deadline)
            fail(7, "the show did not end by itself");
    }
}
} // namespace

TEST(ShowLoopDeathTest, a_short_soundtrack_lets_the_show_run_on_and_end_by_itself)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(run_short_track_show(), ::testing::ExitedWithCode(0),
                "soundtrack: .*Vellamor.mp3\" lasts 2.0 s, shorter than the show's 251 s"
                ".*the show ran on past the music");
}
