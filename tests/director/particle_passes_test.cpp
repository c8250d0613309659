#include "runtime/shaping.h"
#include "show/cloud_passes.h"
#include "show/field_of_view.h"
#include "show/resources.h"
#include "show/screen_passes.h"

#include <gtest/gtest.h>

TEST(MainCloud, point_size_grows_from_zero_then_drops_to_point_three)
{
    for (double t : {0.0, 0.5, 1.0})
        EXPECT_DOUBLE_EQ(main_cloud_pass(t, 0).particlesize, 0.0) << t;
    EXPECT_NEAR(main_cloud_pass(21.0, 0).particlesize, 0.4, 1e-12);
    EXPECT_DOUBLE_EQ(main_cloud_pass(21.0001, 0).particlesize, 0.3);
}

TEST(MainCloud, passes_are_spread_three_then_one_hundredth_apart)
{
    EXPECT_NEAR(main_cloud_pass(10.0, 4).ttime - main_cloud_pass(10.0, 0).ttime, 0.12, 1e-12);
    EXPECT_NEAR(main_cloud_pass(21.0, 1).ttime - main_cloud_pass(21.0, 0).ttime, 0.03, 1e-12);
    EXPECT_NEAR(main_cloud_pass(21.5, 1).ttime - main_cloud_pass(21.5, 0).ttime, 0.01, 1e-12);
}

TEST(MainCloud, magnifier_and_realttime_follow_the_latest_row)
{
    const ParticleUniforms opening = main_cloud_pass(10.0, 0);
    EXPECT_DOUBLE_EQ(opening.magnifier, 0.5);
    EXPECT_DOUBLE_EQ(opening.realttime, 10.0);
    // Just after 21 and again after 26 the magnifier restarts from 0.
    EXPECT_NEAR(main_cloud_pass(21.01, 0).magnifier, 0.0, 1e-3);
    EXPECT_NEAR(main_cloud_pass(26.01, 0).magnifier, 0.0, 1e-3);
    EXPECT_DOUBLE_EQ(main_cloud_pass(28.0, 0).realttime, 0.0);
    EXPECT_NEAR(main_cloud_pass(50.0, 0).magnifier, 6.0, 1e-12);
    EXPECT_NEAR(main_cloud_pass(50.0, 3).realttime, 0.8 * ramp_in(25.0) + 0.03, 1e-12);
    EXPECT_DOUBLE_EQ(main_cloud_rttime(103.0), 0.0);
    EXPECT_GT(main_cloud_rttime(120.0), 10.0);
}

TEST(Letters, window_is_strict_and_the_logo_shows_at_the_end)
{
    EXPECT_TRUE(letters_drawn(21.79));
    EXPECT_FALSE(letters_drawn(21.8));
    EXPECT_FALSE(letters_drawn(204.0));
    EXPECT_TRUE(letters_drawn(204.0001));
    EXPECT_EQ(letters_picture(10.0), tex::letters);
    EXPECT_EQ(letters_picture(204.0001), tex::logo);
    EXPECT_NEAR(letters_pass(5.0, 1).ttime, 5.025, 1e-12);
}

TEST(FieldOfView, swings_around_sixty_five_degrees)
{
    EXPECT_DOUBLE_EQ(field_of_view(0.0), 65.0);
    // The narrowing from 128.5 (about 40 degrees less), then back at 132.1.
    EXPECT_LT(field_of_view(132.0), field_of_view(128.0) - 30.0);
    // The kick at 141.7: 20 degrees wider, eased back within 2 s.
    EXPECT_NEAR(field_of_view(141.7001) - field_of_view(141.69), 20.0, 0.05);
    EXPECT_NEAR(field_of_view(141.7 + 1.0 / 0.54), field_of_view(141.69), 1e-9);
    for (double t = 0.0; t < 251.0; t += 0.01) {
        ASSERT_GT(field_of_view(t), 15.0) << t;
        ASSERT_LT(field_of_view(t), 120.0) << t;
    }
}

TEST(CombinePass, limit_repeats_for_equal_times_and_moves_with_time)
{
    const double a = combine_limit(50.25);
    EXPECT_DOUBLE_EQ(combine_limit(50.25), a);
    EXPECT_NE(combine_limit(50.5), a);
    EXPECT_GE(a, 0.0);
    EXPECT_LE(a, 1.0);
}
