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

TEST(CommandLine, dev_is_author_mode_for_the_running_show_only)
{
    EXPECT_FALSE(parse_command_line({"--mode", "320x180"}).dev);
    const CommandLine c = parse_command_line({"--dev", "--mode", "320x180", "--windowed"});
    EXPECT_TRUE(c.dev);
    EXPECT_TRUE(c.has_text) << "author mode keeps standard output (the seek lines, shader logs)";
    EXPECT_TRUE(c.error.empty());
    EXPECT_FALSE(parse_command_line({"--dev", "--still", "4", "--out", "a.png"}).error.empty());
    EXPECT_FALSE(parse_command_line({"--dev", "--record", "show.mp4"}).error.empty());
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

TEST(CommandLine, record_takes_its_output_kind_rate_and_range)
{
    const CommandLine c =
        parse_command_line({"--record", "out/show.mkv", "--fps", "30", "--from", "20.5", "--to", "23.5"});
    ASSERT_TRUE(c.error.empty()) << c.error;
    EXPECT_EQ(c.record_out, "out/show.mkv");
    EXPECT_EQ(c.record_kind, RecordOutput::mkv);
    EXPECT_EQ(c.fps, 30);
    EXPECT_DOUBLE_EQ(c.from, 20.5);
    ASSERT_TRUE(c.to);
    EXPECT_DOUBLE_EQ(*c.to, 23.5);

    const CommandLine d = parse_command_line({"--record", "frames/%05d.png"});
    ASSERT_TRUE(d.error.empty()) << d.error;
    EXPECT_EQ(d.record_kind, RecordOutput::png_sequence);
    EXPECT_EQ(d.fps, 60);
    EXPECT_FALSE(d.to);
}

TEST(CommandLine, record_refuses_bad_names_rates_ranges_and_odd_video_sizes)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--record"},
        {"--record", "show.avi"},
        {"--record", "f%s.png"},
        {"--record", "f%d%d.png"},
        {"--record", "a.mp4", "--fps", "0"},
        {"--record", "a.mp4", "--fps", "241"},
        {"--record", "a.mp4", "--fps", "29.97"},
        {"--record", "a.mp4", "--from", "-1"},
        {"--record", "a.mp4", "--from", "nan"},
        {"--record", "a.mp4", "--from", "252"},
        {"--record", "a.mp4", "--from", "30", "--to", "30"},
        {"--record", "a.mp4", "--mode", "161x90"},
        {"--record", "a.mp4", "--still", "3", "--out", "a.png"},
        {"--fps", "30"},
        {"--from", "3"},
    };
    for (const auto &args : bad)
        EXPECT_FALSE(parse_command_line(args).error.empty()) << args.back();
    // An odd size is fine for PNG frames.
    EXPECT_TRUE(parse_command_line({"--record", "f%d.png", "--mode", "161x91"}).error.empty());
}

// Stills take the show's own time range, like --from: a time the show never
// reaches would quietly draw a black frame.
TEST(CommandLine, still_times_lie_within_the_show_and_the_output_is_named_png)
{
    for (const char *bad : {"-5", "1e308", "251.5", "nan", "inf", "4s", ""})
        EXPECT_FALSE(parse_command_line({"--still", bad, "--out", "a.png"}).error.empty()) << bad;
    for (const char *good : {"0", "41", "103.05", "251"})
        EXPECT_TRUE(parse_command_line({"--still", good, "--out", "a.png"}).error.empty()) << good;
    const CommandLine several = parse_command_line({"--still", "4", "--still", "5", "--out", "shots/A.PNG"});
    EXPECT_TRUE(several.error.empty()) << several.error;
    EXPECT_EQ(several.still_times.size(), 2u);

    for (const char *bad : {"pic.jpg", "pic", ".png", "pic.png.txt"})
        EXPECT_FALSE(parse_command_line({"--still", "4", "--out", bad}).error.empty()) << bad;
    EXPECT_FALSE(parse_command_line({"--still", "4", "--still", "4", "--out", "a.png"}).error.empty())
        << "the same time twice would write the same file twice";
    EXPECT_FALSE(parse_command_line({"--out", "a.png"}).error.empty()) << "--out alone does nothing";
    EXPECT_FALSE(parse_command_line({"--record", "a.mp4", "--out", "a.png"}).error.empty())
        << "--record names its own output";
}

// With --record or --still the command line is a script's: a word that is
// neither an option nor its value is a typo ("-fps 10") and would
// otherwise pass unnoticed. The show itself keeps any text as console text.
TEST(CommandLine, stray_words_and_repeated_options_are_refused)
{
    for (const std::vector<std::string> &bad : std::vector<std::vector<std::string>>{
             {"--record", "a.mp4", "-fps", "10"},
             {"10", "--record", "a.mp4"},
             {"--still", "4", "--out", "a.png", "extra"},
             {"--record", "a.mp4", "--fps", "30", "--fps", "10"},
             {"--mode", "320x180", "--mode", "640x360"},
             {"--windowed", "--windowed"},
             {"--record", "a.mp4", "--record", "b.mp4"},
             {"--still", "4", "--out", "a.png", "--out", "b.png"},
         }) {
        const CommandLine c = parse_command_line(bad);
        EXPECT_FALSE(c.error.empty()) << bad[0] << " " << bad[1] << " " << bad.back();
    }
    const CommandLine live = parse_command_line({"debug", "-fps", "10", "--mode", "320x180"});
    EXPECT_TRUE(live.error.empty()) << live.error;
    EXPECT_TRUE(live.has_text);
}
