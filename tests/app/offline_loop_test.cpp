// The frame loop of the live show driven offline at 160 x 90: a stepped
// clock and the soundtrack decoded from the file, as stills and exports run it.
#include "app/show_spine.h"
#include "app/still.h"
#include "runtime/show_state.h"
#include "show/part_start.h"
#include "show/scene_clock.h"
#include "sound/track_music.h"
#include "support/whole_show.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace
{
constexpr int width = 160;
constexpr int height = 90;

void with_show(const std::function<void(OfflineShow &)> &body)
{
    ASSERT_TRUE(run_offline_show(width, height, body));
}

// Runs frames at `fps` from show time `from` (a jump) up to `to`; returns
// the last show time drawn and whether the loop reported the end.
std::pair<double, bool> run_frames(OfflineShow &show, double from, double to, int fps)
{
    show.clock.set(from);
    place_show_at(from);
    double t = from;
    for (int n = 0; t <= to; ++n) {
        t = from + n / static_cast<double>(fps);
        if (draw_offline_frame(show.clock, show.music, t) == FrameEnd::ended)
            return {t, true};
    }
    return {t, false};
}

using ShowLoop = WholeShowTest;
} // namespace

TEST_F(ShowLoop, stepped_frames_land_on_their_show_times_with_no_pull)
{
    with_show([](OfflineShow &show) {
        show.clock.set(10.0);
        place_show_at(10.0);
        for (int n = 0; n < 8; ++n) {
            const double t = 10.0 + n / 30.0;
            ASSERT_EQ(draw_offline_frame(show.clock, show.music, t), FrameEnd::running);
            EXPECT_NEAR(show_time, t, 1e-9) << "frame " << n;
            EXPECT_NEAR(show.show.raw_time, t, 1e-9);
            EXPECT_NEAR(show.show.scene_time, clock_for_raw_time(t).scene_time, 1e-9);
            EXPECT_NEAR(music_time, n == 0 ? t : t - 1.0 / 30.0, 1e-9); // where the step began
        }
    });
}

TEST_F(ShowLoop, a_run_into_the_top_view_pause_draws_what_a_jump_there_draws)
{
    // The top view stops after scene time 5 and keeps its last map: a run
    // across 5 and a jump past it must leave the same map and picture.
    with_show([](OfflineShow &show) {
        const auto [last, ended] = run_frames(show, 4.2, 5.2, 30);
        ASSERT_FALSE(ended);
        const auto run_map = show.read_height_map();
        const auto run_frame = show.read_frame();

        show.draw_at(100.0); // somewhere else entirely
        show.clock.set(last);
        place_show_at(last);
        draw_offline_frame(show.clock, show.music, last);
        EXPECT_TRUE(show.read_height_map() == run_map);
        const auto jump_frame = show.read_frame();
        ASSERT_EQ(jump_frame.size(), run_frame.size());
        int differing = 0;
        for (std::size_t i = 0; i < jump_frame.size(); ++i)
            differing += std::abs(int(jump_frame[i]) - int(run_frame[i])) > 2;
        EXPECT_LE(differing, static_cast<int>(jump_frame.size() / 100)) << "at show time " << last;
    });
}

TEST_F(ShowLoop, ends_on_the_first_frame_past_251_seconds)
{
    with_show([](OfflineShow &show) {
        const auto [last, ended] = run_frames(show, 250.5, 260.0, 10);
        EXPECT_TRUE(ended);
        EXPECT_NEAR(last, 251.1, 1e-9);
    });
}

TEST(StillHeadless, draws_without_any_display)
{
    const ScratchFolder scratch("headless");
    const fs::path out = scratch / "still.png";
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER \"" VELLAMOR_PROGRAM
                                "\" --still 60 --mode 160x90 --out \"" +
                                out.string() + "\" > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(fs::exists(out));
    EXPECT_GT(fs::file_size(out), 1000u);
}
