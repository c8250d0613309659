#include "runtime/shaping.h"
#include "show/cloud_passes.h"
#include "show/field_of_view.h"
#include "show/resources.h"
#include "show/screen_passes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

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

TEST(MainCloud, one_draw_takes_the_middle_of_the_passes)
{
    for (double t : {10.0, 21.0, 21.5, 28.0, 50.0, 150.0}) {
        const ParticleUniforms draw = main_cloud_draw(t);
        const ParticleUniforms middle = main_cloud_pass(t, 2);
        EXPECT_NEAR(draw.ttime, middle.ttime, 1e-9) << t;
        EXPECT_NEAR(draw.realttime, middle.realttime, 1e-9) << t;
        EXPECT_NEAR(draw.particlesize, middle.particlesize, 1e-12) << t;
        EXPECT_NEAR(draw.magnifier, middle.magnifier, 1e-12) << t;
    }
    EXPECT_NEAR(letters_draw(5.0).ttime, 5.0125, 1e-12);
    EXPECT_NEAR(letters_draw(210.0).realttime, 210.0, 1e-12);
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

// One time inside every swing, with values worked out by hand from the
// show's timing sheet: a flipped sign or a dropped term moves at least one.
TEST(FieldOfView, pinned_inside_every_swing)
{
    const struct {
        double t, degrees;
    } pins[] = {
        {50.0, 65.0},              // no swing yet
        {85.0, 62.5},              // the drift down from 83, half way
        {91.0, 60.732233047034},   // the drift up from 90 on top of it
        {101.0, 76.308658714421},  // the widening before the flash at 103
        {103.1, 106.681078793792}, // its peak, the last frame before 103.2
        {105.0, 65.0},             // the widening dropped, drifts cancel
        {114.0, 53.091610607806},  // the narrowing from 112
        {120.0, 53.091610607806},  // the widening from 118 has not begun to show
        {130.0, 56.755705045849},  // the narrowing from 128.5
        {135.0, 65.0},             // full field of view again after 132.1
        {142.2, 81.613118653237},  // the kick at 141.7 easing back
        {200.0, 65.0},
    };
    for (const auto &p : pins)
        EXPECT_NEAR(field_of_view(p.t), p.degrees, 1e-9) << "scene time " << p.t;
}

// "Limit" from the seed int(scene time x 423424), 1000 draws dropped, then
// the next draw over 32767; worked out by hand with the generator's
// recurrence.
TEST(CombinePass, limit_follows_the_seed_of_the_scene_time)
{
    const struct {
        double t, limit;
    } pins[] = {
        {0.0, 0.676961577197},
        {50.25, 0.016022217475},   // seed 21277056
        {123.456, 0.412671285134}, // seed 52274233
        {230.5, 0.829371013520},   // seed 97599232
    };
    for (const auto &p : pins)
        EXPECT_NEAR(combine_limit(p.t), p.limit, 1e-12) << "scene time " << p.t;
    EXPECT_NEAR(combine_limit(50.5), 0.4804224, 5e-8); // a quarter second on: seed 21382912
}

// A tap list as the blur program reads it, spread back onto whole texels:
// a read at a fractional offset counts for the two texels beside it.
std::vector<double> texel_weights(const BlurTaps &taps, int reach)
{
    std::vector<double> w(static_cast<std::size_t>(2 * reach + 1), 0.0);
    const auto put = [&](double x, double weight) {
        const double lo = std::floor(x), f = x - lo;
        const int i = static_cast<int>(lo) + reach;
        if (weight == 0.0)
            return;
        ASSERT_GE(i, 0);
        ASSERT_LT(i + (f > 0.0 ? 1 : 0), static_cast<int>(w.size()));
        w[static_cast<std::size_t>(i)] += weight * (1.0 - f);
        if (f > 0.0)
            w[static_cast<std::size_t>(i) + 1] += weight * f;
    };
    put(0.0, taps.weight[0]);
    for (int k = 0; k < taps.reads; ++k) {
        put(taps.offset[k], taps.weight[k + 1]);
        put(-taps.offset[k], taps.weight[k + 1]);
    }
    return w;
}

TEST(BloomTaps, paired_reads_give_the_gaussian_at_every_texel_they_reach)
{
    const std::pair<float, int> cases[] = {{1.0f, 3},  {1.34f, 3}, {2.0f, 3},
                                           {2.13f, 6}, {4.0f, 6},  {4.18f, 6}};
    for (const auto &[deviation, reads] : cases) {
        SCOPED_TRACE(testing::Message() << deviation << " in " << reads << " reads");
        const BlurTaps taps = gaussian_taps(deviation, reads);
        ASSERT_EQ(taps.reads, reads);
        const int reach = std::min(static_cast<int>(std::ceil(3.0f * deviation)), 2 * reads);
        const std::vector<double> got = texel_weights(taps, reach);
        double total = 0.0;
        for (int i = -reach; i <= reach; ++i)
            total += std::exp(-0.5 * i * i / (deviation * deviation));
        for (int i = -reach; i <= reach; ++i)
            EXPECT_NEAR(got[static_cast<std::size_t>(i + reach)],
                        std::exp(-0.5 * i * i / (deviation * deviation)) / total, 2e-6)
                << "texel " << i;
    }
}

TEST(BloomTaps, blurs_the_reads_cannot_pair_are_spread_evenly_over_three_deviations)
{
    // Under a texel, and wider than the reads reach two texels at a time.
    const std::pair<float, int> cases[] = {{0.34f, 3}, {0.9f, 6}, {3.19f, 3}, {6.27f, 6}};
    for (const auto &[deviation, reads] : cases) {
        SCOPED_TRACE(testing::Message() << deviation << " in " << reads << " reads");
        const BlurTaps taps = gaussian_taps(deviation, reads);
        ASSERT_EQ(taps.reads, reads);
        double total = taps.weight[0];
        for (int k = 0; k < reads; ++k) {
            const double x = 3.0 * deviation * (k + 1) / reads;
            EXPECT_NEAR(taps.offset[k], x, 1e-5);
            EXPECT_NEAR(taps.weight[k + 1] / taps.weight[0], std::exp(-0.5 * x * x / (deviation * deviation)),
                        1e-5);
            total += 2.0 * taps.weight[k + 1];
        }
        EXPECT_NEAR(total, 1.0, 1e-6);
    }
    // No width, or a broken one, keeps the centre alone.
    for (float deviation : {0.0f, -1.0f, std::nanf("")}) {
        const BlurTaps taps = gaussian_taps(deviation, 3);
        EXPECT_FLOAT_EQ(taps.weight[0], 1.0f);
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(taps.weight[k], 0.0f);
    }
}
