#include "app/command_line.h"
#include "app/still.h"

#include <gtest/gtest.h>

TEST(StillOptions, several_times_are_kept_in_order_and_need_an_output)
{
    const CommandLine c = parse_command_line({"--still", "41", "--still", "103.05", "--out", "s.png"});
    EXPECT_TRUE(c.error.empty()) << c.error;
    ASSERT_EQ(c.still_times.size(), 2u);
    EXPECT_EQ(c.still_times[1], "103.05");
    EXPECT_EQ(c.still_out, "s.png");

    EXPECT_FALSE(parse_command_line({"--still", "41"}).error.empty());
    EXPECT_FALSE(parse_command_line({"--still", "nan", "--out", "s.png"}).error.empty());
    EXPECT_FALSE(parse_command_line({"--still", "4x", "--out", "s.png"}).error.empty());
    EXPECT_FALSE(parse_command_line({"--still"}).error.empty());
    EXPECT_FALSE(parse_command_line({"--out"}).error.empty());
}

TEST(StillOptions, file_names_carry_the_time_only_when_several_are_drawn)
{
    EXPECT_EQ(still_file_name("out/s.png", "41", false), "out/s.png");
    EXPECT_EQ(still_file_name("out/s.png", "103.05", true), "out/s-103.05.png");
    EXPECT_EQ(still_file_name("frame", "7", true), "frame-7.png");
}
