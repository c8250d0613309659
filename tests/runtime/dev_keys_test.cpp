#include "runtime/dev_keys.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr int right = 0x27, left = 0x25, page_down = 0x22, page_up = 0x21, home = 0x24, space = 0x20;
} // namespace

TEST(DevKeys, arrows_and_pages_move_by_five_and_thirty_seconds)
{
    EXPECT_EQ(dev_key_command(right, 40.0).command, DevCommand::seek);
    EXPECT_DOUBLE_EQ(dev_key_command(right, 40.0).target, 45.0);
    EXPECT_DOUBLE_EQ(dev_key_command(left, 40.0).target, 35.0);
    EXPECT_DOUBLE_EQ(dev_key_command(page_down, 40.0).target, 70.0);
    EXPECT_DOUBLE_EQ(dev_key_command(page_up, 40.0).target, 10.0);
    EXPECT_DOUBLE_EQ(dev_key_command(home, 200.0).target, 0.0);
    EXPECT_EQ(dev_key_command(home, 200.0).command, DevCommand::seek);
}

TEST(DevKeys, seeks_clamp_to_the_show_from_zero_to_251)
{
    EXPECT_DOUBLE_EQ(dev_key_command(left, 3.0).target, 0.0);
    EXPECT_DOUBLE_EQ(dev_key_command(page_up, 29.9).target, 0.0);
    EXPECT_DOUBLE_EQ(dev_key_command(right, 248.0).target, 251.0);
    EXPECT_DOUBLE_EQ(dev_key_command(page_down, 250.0).target, 251.0);
    // Landing on 251 itself keeps the show running (it ends only past 251).
    EXPECT_DOUBLE_EQ(seek_target(251.0, 5.0), 251.0);
    // A clock that has gone wrong cannot send the show anywhere odd.
    EXPECT_DOUBLE_EQ(seek_target(std::numeric_limits<double>::quiet_NaN(), 5.0), 0.0);
    EXPECT_DOUBLE_EQ(seek_target(std::numeric_limits<double>::infinity(), 5.0), 251.0);
    EXPECT_DOUBLE_EQ(seek_target(-std::numeric_limits<double>::infinity(), -5.0), 0.0);
}

TEST(DevKeys, other_keys_of_the_mode_and_keys_it_leaves_alone)
{
    EXPECT_EQ(dev_key_command(space, 10.0).command, DevCommand::toggle_pause);
    EXPECT_EQ(dev_key_command(0x70, 10.0).command, DevCommand::toggle_overlay);
    EXPECT_EQ(dev_key_command(0x7B, 10.0).command, DevCommand::capture_frame);
    // Escape, the adjust keys and unmapped keys keep their show meaning only.
    for (int key : {0x1B, 0x26, 0x28, 0x41, 0x51, 0, 255})
        EXPECT_EQ(dev_key_command(key, 10.0).command, DevCommand::none) << key;
}
