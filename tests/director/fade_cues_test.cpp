#include "runtime/shaping.h"
#include "show/fade_cues.h"

#include <gtest/gtest.h>

namespace
{

struct Fades : ::testing::Test {
    std::vector<Cue> in, out;
    void SetUp() override { fill_fade_cues(in, out); }
    double alpha(double t) const { return fade_alpha(t, in, out); }
};

} // namespace

TEST_F(Fades, refilling_does_not_grow_the_lists)
{
    fill_fade_cues(in, out);
    fill_fade_cues(in, out);
    EXPECT_EQ(in.size(), 14u);
    EXPECT_EQ(out.size(), 6u);
    EXPECT_DOUBLE_EQ(in.back().time, 203.86);
    EXPECT_DOUBLE_EQ(out.back().time, 229.0);
}

TEST_F(Fades, show_starts_almost_black_and_clears_within_two_seconds)
{
    EXPECT_NEAR(alpha(0.0), 1.0 - ease(0.05, 1.0), 1e-12);
    EXPECT_NEAR(alpha(0.0), 0.994, 0.001);
    EXPECT_LT(alpha(1.0), 0.5);
    EXPECT_LT(alpha(1.95), fade_draw_threshold);
    EXPECT_LT(alpha(10.0), fade_draw_threshold);
}

TEST_F(Fades, final_fade_reaches_black_and_holds_to_the_end)
{
    EXPECT_LT(alpha(228.85), fade_draw_threshold);
    EXPECT_GT(alpha(232.0), 0.3);
    EXPECT_LT(alpha(232.0), 0.9);
    const double black_from = 229.0 - 0.1 + 6.25;
    for (double t = black_from; t < 260.0; t += 0.37)
        EXPECT_GE(alpha(t), 1.0 - 1e-9) << t;
}

TEST_F(Fades, only_the_latest_started_in_cue_counts)
{
    // At 21.5 both the cue at 0 (long finished) and the cue at 21 have
    // started: the later one must decide, so the picture is still dark.
    EXPECT_NEAR(alpha(21.5), 1.0 - ease((21.5 - 20.9) * 0.5, 1.0), 1e-12);
    // The triple flash: the rise restarts at each of 103.05, 103.1, 103.15;
    // after the last start only it counts.
    EXPECT_NEAR(alpha(103.5), 1.0 - ease((103.5 - 103.05) * 0.5, 1.0), 1e-12);
    EXPECT_NEAR(alpha(103.02), 1.0 - ease((103.02 - 103.0) * 0.5, 1.0), 1e-12);
    // The slow in-cue at 131.825 rises over 2 / 0.6 seconds.
    EXPECT_GT(alpha(131.725 + 2.0), 0.1);
    EXPECT_LT(alpha(131.725 + 3.4), fade_draw_threshold);
}

TEST_F(Fades, in_and_out_contributions_add_beyond_one)
{
    // 184.9: the out-cue of 184.04 is almost black and the in-cue of
    // 184.86 has just started from black: the sum exceeds 1.
    const double in_part = 1.0 - ease((184.9 - 184.76) * 0.5, 1.0);
    const double out_part = ease((184.9 - 183.94) * 1.0, 1.0);
    EXPECT_NEAR(alpha(184.9), in_part + out_part, 1e-12);
    EXPECT_GT(alpha(184.9), 1.0);
}

TEST_F(Fades, out_cue_holds_for_its_extra_time_then_ends)
{
    // 157.2: down over 1 / 0.35 s, then black for 1 s more.
    const double s = 157.1;
    EXPECT_GE(alpha(s + 1.0 / 0.35 + 0.5), 1.0 - 1e-9);
    // After the hold (160.957) it stops adding and the in-cue of 160.52
    // alone decides.
    EXPECT_GE(alpha(160.9), 1.0);
    EXPECT_NEAR(alpha(161.0), 1.0 - ease((161.0 - 160.42) * 0.5, 1.0), 1e-12);
}

// Inside the out-cues at 83, 101.75 and 140.38 (values worked out by hand;
// the in-cue before each has long cleared): the fall to black at its rate,
// and the 0.1 s hold of the last one before the picture comes back.
TEST_F(Fades, out_cues_at_83_101_75_and_140_38_pinned)
{
    const struct {
        double t, alpha;
    } pins[] = {
        {82.95, 0.006155829702}, {83.4, 0.5},
        {83.85, 0.993844170298}, // over 1 s
        {101.9, 0.084265193849}, {102.3, 0.480370092120},
        {102.9, 0.990392640202}, // over 4/3 s
        {140.5, 0.065684242781}, {140.9, 0.445132844454},
        {141.65, 1.0}, // and held 0.1 s
        {141.75, 0.0},
    };
    for (const auto &p : pins)
        EXPECT_NEAR(alpha(p.t), p.alpha, 1e-9) << "scene time " << p.t;
}
