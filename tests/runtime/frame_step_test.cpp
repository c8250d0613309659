#include "runtime/frame_step.h"
#include "runtime/show_state.h"

#include <gtest/gtest.h>

TEST(FrameStep, clock_stepping_backwards_gives_zero_delta)
{
    EXPECT_EQ(clock_step(10.0, 10.5), 0.0);
    EXPECT_DOUBLE_EQ(clock_step(10.5, 10.0), 0.5);
}

TEST(FrameStep, music_pull_applies_only_until_240_seconds)
{
    EXPECT_NEAR(music_pull(0.016, 100.0, 102.0), 0.216, 1e-12);
    EXPECT_NEAR(music_pull(0.016, 240.0, 242.0), 0.216, 1e-12); // 240 itself still pulls
    EXPECT_EQ(music_pull(0.016, 240.001, 242.0), 0.016);
    EXPECT_NEAR(music_pull(0.0, 50.0, 49.0), -0.1, 1e-12); // music behind slows the clock
}

TEST(FrameStep, show_ends_strictly_after_251_seconds)
{
    EXPECT_FALSE(show_has_ended(251.0));
    EXPECT_TRUE(show_has_ended(251.0000001));
}

TEST(FrameStep, escape_ends_on_the_next_tick_at_the_default_rate)
{
    const FadeOut first = fade_out_step(10.0, 10.0, fade_rate); // same tick as the key
    EXPECT_FALSE(first.done);
    EXPECT_EQ(first.volume, 255);
    EXPECT_EQ(first.fade_level, 1.0);
    const FadeOut next = fade_out_step(10.0 + 1.0 / 60.0, 10.0, fade_rate);
    EXPECT_TRUE(next.done);
    EXPECT_EQ(next.volume, 0);
    EXPECT_EQ(next.fade_level, 0.0);
}

TEST(FrameStep, slow_fade_lowers_volume_by_integer_part)
{
    const FadeOut half = fade_out_step(10.5, 10.0, 1.0);
    EXPECT_DOUBLE_EQ(half.a, 0.5);
    EXPECT_EQ(half.volume, 127); // 127.5 truncated
    EXPECT_DOUBLE_EQ(half.fade_level, 0.0);
    EXPECT_FALSE(half.done);
}

TEST(FrameStep, seed_truncates_microseconds_and_keeps_low_bits)
{
    EXPECT_EQ(frame_seed(0.0), 0u);
    EXPECT_EQ(frame_seed(1.5), 1500000u);
    EXPECT_EQ(frame_seed(2.9999999), 2999999u); // truncated, not rounded
    EXPECT_EQ(frame_seed(5000.0), static_cast<std::uint32_t>(5000000000ull & 0xffffffffull));
}
