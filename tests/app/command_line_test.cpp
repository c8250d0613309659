#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, no_text_means_no_console_and_defaults)
{
    const CommandLine c = parse_command_line({});
    EXPECT_FALSE(c.has_text);
    EXPECT_FALSE(c.mode);
    EXPECT_TRUE(c.force_16_9);
    EXPECT_TRUE(c.error.empty());
}

TEST(CommandLine, any_text_opens_the_console_and_plain_words_are_ignored)
{
    const CommandLine c = parse_command_line({"debug", "-x"});
    EXPECT_TRUE(c.has_text);
    EXPECT_TRUE(c.error.empty());
}

TEST(CommandLine, options_for_scripts)
{
    const CommandLine c =
        parse_command_line({"--mode", "320x180", "--windowed", "--no-force-16-9", "--data", "/tmp/d"});
    ASSERT_TRUE(c.mode);
    EXPECT_EQ(c.mode->first, 320);
    EXPECT_EQ(c.mode->second, 180);
    EXPECT_TRUE(c.windowed);
    EXPECT_FALSE(c.force_16_9);
    EXPECT_EQ(c.data_dir, "/tmp/d");
    EXPECT_TRUE(parse_command_line({"--help"}).help);
}

TEST(CommandLine, bad_options_are_errors)
{
    EXPECT_FALSE(parse_command_line({"--frobnicate"}).error.empty());
    EXPECT_FALSE(parse_command_line({"--mode"}).error.empty());
    for (const char *bad : {"320", "320x", "x180", "0x180", "320x-1", "320x180x2", "abcxdef", "99999x10"})
        EXPECT_FALSE(parse_command_line({"--mode", bad}).error.empty()) << bad;
    EXPECT_FALSE(parse_command_line({"--data"}).error.empty());
    EXPECT_FALSE(parse_command_line({"--windowed", "--bogus"}).error.empty());
}
