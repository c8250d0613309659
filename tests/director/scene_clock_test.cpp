#include "show/resources.h"
#include "show/scene_clock.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SceneClock, runs_at_95_percent_with_a_lead_that_melts_after_169)
{
    SceneClock clock;
    advance_scene_clock(clock, 1.0);
    EXPECT_DOUBLE_EQ(clock.raw_time, 1.0);
    EXPECT_NEAR(clock.scene_time, 0.18 + 0.95, 1e-12);

    // Long before 169 the lead is the whole 0.18; well after 176 it is gone.
    SceneClock early = clock_for_scene_time(100.0);
    EXPECT_NEAR(early.raw_time * 0.95 + 0.18, 100.0, 1e-9);
    SceneClock late = clock_for_scene_time(180.0);
    EXPECT_NEAR(late.raw_time * 0.95, 180.0, 1e-9);
}

TEST(SceneClock, warp_is_monotonic_when_stepping_through_the_melt)
{
    // Small steps through 160..185: the melting lead must never move the
    // scene clock backwards (cues would fire twice).
    SceneClock clock = clock_for_scene_time(160.0);
    double previous = clock.scene_time;
    for (int i = 0; i < 30 * 60; ++i) {
        advance_scene_clock(clock, 1.0 / 60.0);
        ASSERT_GT(clock.scene_time, previous) << "at frame " << i;
        previous = clock.scene_time;
    }
    EXPECT_GT(clock.scene_time, 185.0);
}

TEST(SceneClock, still_clock_gives_back_the_exact_scene_time_with_a_zero_step)
{
    for (double t : {0.0, 0.18, 21.0, 103.05, 169.0, 172.3, 175.7, 204.5, 238.5}) {
        SceneClock clock = clock_for_scene_time(t);
        advance_scene_clock(clock, 0.0);
        EXPECT_NEAR(clock.scene_time, t, 1e-12) << t;
    }
}

TEST(SceneClock, billboard_program_switches_strictly_after_each_threshold)
{
    EXPECT_EQ(billboard_program_for(160.8), program::billboards);
    EXPECT_EQ(billboard_program_for(160.8001), program::billboards_insect);
    EXPECT_EQ(billboard_program_for(185.0), program::billboards_insect);
    EXPECT_EQ(billboard_program_for(185.0001), program::billboards_leaves);
}

TEST(SpectrumTexels, keep_the_low_byte_of_the_truncated_value)
{
    std::array<float, 512> spectrum{};
    spectrum[0] = 0.5f;    // 127, 127, 125
    spectrum[1] = 1.0f;    // 255, 255, 250
    spectrum[2] = 1.01f;   // 257 wraps to 1; 252
    spectrum[3] = -0.01f;  // -2 wraps to 254
    spectrum[4] = 1.0e30f; // out of range: defined, not a crash
    const auto t = spectrum_texels(spectrum);
    EXPECT_EQ(t[0], 127);
    EXPECT_EQ(t[2], 125);
    EXPECT_EQ(t[3], 255);
    EXPECT_EQ(t[5], 250);
    EXPECT_EQ(t[6], 1);
    EXPECT_EQ(t[8], 252);
    EXPECT_EQ(t[9], 254);
    EXPECT_EQ(t[12], 0);
    EXPECT_EQ(t[511 * 3], 0);
}

#include "show/letterbox.h"

TEST(Letterbox, picture_is_centred_with_equal_bars)
{
    // A forced 16:9 picture on a 4:3 display: bars above and below.
    const Viewport v = centred_viewport(1024, 768, 1024, 576);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 96);
    EXPECT_EQ(v.width, 1024);
    EXPECT_EQ(v.height, 576);
    // Same size, or no window size known: the picture sits at the origin.
    EXPECT_EQ(centred_viewport(1280, 720, 1280, 720).y, 0);
    EXPECT_EQ(centred_viewport(0, 0, 640, 360).y, 0);
    EXPECT_EQ(centred_viewport(0, 0, 640, 360).x, 0);
    // Only a picture with bars beside it needs the window cleared first.
    EXPECT_FALSE(fills_window(v, 1024, 768));
    EXPECT_TRUE(fills_window(centred_viewport(1280, 720, 1280, 720), 1280, 720));
    EXPECT_FALSE(fills_window(centred_viewport(1366, 768, 1280, 720), 1366, 768));
}

TEST(SceneClock, a_show_started_part_way_has_the_clock_of_one_run_from_the_start)
{
    // Run from 0 at 60 fps through the melting lead, and compare with the
    // clock placed directly at each show time.
    SceneClock running;
    advance_scene_clock(running, 0.0);
    for (int n = 1; n <= 60 * 200; ++n) {
        advance_scene_clock(running, 1.0 / 60.0);
        if (n % 600 != 0)
            continue;
        const SceneClock placed = clock_for_raw_time(running.raw_time);
        EXPECT_DOUBLE_EQ(placed.raw_time, running.raw_time);
        EXPECT_NEAR(placed.scene_time, running.scene_time, 2e-3) << "show time " << running.raw_time;
    }
}

TEST(SceneClock, raw_time_clock_is_a_fixed_point_and_inverts_the_still_clock)
{
    for (double raw : {0.0, 1.0, 100.0, 177.0, 178.5, 180.0, 185.0, 251.0}) {
        SceneClock clock = clock_for_raw_time(raw);
        const double scene = clock.scene_time;
        advance_scene_clock(clock, 0.0);
        EXPECT_NEAR(clock.scene_time, scene, 1e-9) << raw;
        EXPECT_NEAR(clock_for_scene_time(scene).raw_time, raw, 1e-9) << raw;
    }
}
