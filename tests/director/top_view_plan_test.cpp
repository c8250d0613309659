#include "runtime/generator.h"
#include "show/top_view_plan.h"

#include <gtest/gtest.h>

TEST(TopViewPlan, skip_windows_exclude_their_ends)
{
    EXPECT_TRUE(top_view_runs(5.0));
    EXPECT_FALSE(top_view_runs(5.01));
    EXPECT_FALSE(top_view_runs(39.99));
    EXPECT_TRUE(top_view_runs(40.0));
    EXPECT_TRUE(top_view_runs(142.0));
    EXPECT_FALSE(top_view_runs(150.0));
    EXPECT_TRUE(top_view_runs(159.0));
    EXPECT_TRUE(top_view_runs(203.0));
    EXPECT_FALSE(top_view_runs(203.01));
    EXPECT_FALSE(plan_top_view(20.0).runs);

    // The map a skipped frame shows comes from the window's start, which
    // itself runs.
    for (double t : {5.01, 39.99, 150.0, 210.0, 238.0}) {
        EXPECT_LT(top_view_source_time(t), t);
        EXPECT_TRUE(top_view_runs(top_view_source_time(t))) << t;
    }
    EXPECT_DOUBLE_EQ(top_view_source_time(60.0), 60.0);
}

TEST(TopViewPlan, meshes_belong_to_their_scenes)
{
    const TopViewPlan city = plan_top_view(60.0);
    EXPECT_TRUE(city.city);
    EXPECT_FALSE(city.city_tilted);
    EXPECT_DOUBLE_EQ(city.scale, 1.0);

    const TopViewPlan tilted = plan_top_view(120.0);
    EXPECT_TRUE(tilted.city_tilted);
    EXPECT_DOUBLE_EQ(tilted.scale, 2.0);
    EXPECT_GT(tilted.city_rise, 0.0);
    EXPECT_DOUBLE_EQ(plan_top_view(100.0).city_rise, 0.0);
    EXPECT_FALSE(plan_top_view(135.0).city_tilted);

    const TopViewPlan insect = plan_top_view(170.0);
    EXPECT_FALSE(insect.city);
    EXPECT_TRUE(insect.insect);
    EXPECT_TRUE(insect.leaves.empty());
    // Exactly at the change-overs neither mesh is drawn.
    EXPECT_FALSE(plan_top_view(160.8).city || plan_top_view(160.8).insect);
    EXPECT_TRUE(plan_top_view(185.0).leaves.empty());

    EXPECT_FALSE(plan_top_view(201.9).cleared);
    EXPECT_TRUE(plan_top_view(202.5).cleared);
}

TEST(TopViewPlan, leaves_repeat_exactly_for_equal_times_whatever_came_before)
{
    random_seed(12345);
    const TopViewPlan a = plan_top_view(190.0);
    random_seed(999);
    random_next();
    const TopViewPlan b = plan_top_view(190.0);
    ASSERT_EQ(a.leaves.size(), 50u);
    ASSERT_EQ(b.leaves.size(), 50u);
    for (std::size_t i = 0; i < a.leaves.size(); ++i) {
        EXPECT_EQ(a.leaves[i].x, b.leaves[i].x);
        EXPECT_EQ(a.leaves[i].y, b.leaves[i].y);
        EXPECT_EQ(a.leaves[i].size, b.leaves[i].size);
        EXPECT_EQ(a.leaves[i].spin_degrees, b.leaves[i].spin_degrees);
        EXPECT_EQ(a.leaves[i].object, b.leaves[i].object);
    }
    // The generator ends in the same state, so later users agree too.
    const std::uint32_t after = random_state();
    plan_top_view(190.0);
    EXPECT_EQ(random_state(), after);
}

TEST(TopViewPlan, leaves_fall_faster_after_194_5_and_grow_in_as_they_sink)
{
    const TopViewPlan early = plan_top_view(186.0);
    const TopViewPlan later = plan_top_view(187.0);
    bool shapes[6] = {};
    for (std::size_t i = 0; i < early.leaves.size(); ++i) {
        const LeafPlacement &l = early.leaves[i];
        EXPECT_GE(l.object, 0);
        EXPECT_LT(l.object, 6);
        shapes[l.object] = true;
        EXPECT_LE(later.leaves[i].y, l.y); // falling, never rising
        EXPECT_EQ(later.leaves[i].x, l.x); // same place across frames
        // Size follows the height (translation = 100 y): nothing above
        // y = 3.2, full size from y = 2.2 down.
        if (l.y >= 320.0) {
            EXPECT_EQ(l.size, 0.0);
        }
        if (l.y <= 220.0) {
            EXPECT_DOUBLE_EQ(l.size, 55.0);
        }
    }
    int distinct = 0;
    for (bool s : shapes)
        distinct += s;
    EXPECT_GE(distinct, 4);

    // Falling speed: the drop over one second is larger after 194.5.
    const double slow = early.leaves[0].y - later.leaves[0].y;
    const double fast = plan_top_view(196.0).leaves[0].y - plan_top_view(197.0).leaves[0].y;
    EXPECT_GT(fast, slow);
    // Within each wave (the drop of c at 194.5 lifts them into a second,
    // faster fall) leaves that reach the ground stay gone.
    for (double start : {185.5, 195.0}) {
        int below = 0;
        for (double t = start; t < start + 8.0; t += 0.5) {
            int now = 0;
            for (const LeafPlacement &l : plan_top_view(t).leaves)
                now += l.y < 0.0;
            EXPECT_GE(now, below) << t;
            below = now;
        }
        EXPECT_GT(below, 10) << start;
    }
}
