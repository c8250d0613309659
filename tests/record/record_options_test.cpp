#include "record/progress.h"
#include "record/record_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(RecordOutput, video_by_extension_and_png_sequences_by_pattern)
{
    std::string why;
    EXPECT_EQ(classify_record_output("out/show.mp4", why), RecordOutput::mp4);
    EXPECT_EQ(classify_record_output("SHOW.MKV", why), RecordOutput::mkv);
    EXPECT_EQ(classify_record_output("frames/%05d.png", why), RecordOutput::png_sequence);
    EXPECT_EQ(classify_record_output("f%d.PNG", why), RecordOutput::png_sequence);
    for (const char *bad : {"show.avi", "show", ".mp4", "show.mp4.txt", "frames/x.png"}) {
        why.clear();
        EXPECT_FALSE(classify_record_output(bad, why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
}

TEST(RecordOutput, a_frame_pattern_takes_exactly_one_number_and_no_format_string)
{
    std::string why;
    for (const char *good : {"%d.png", "f%01d.png", "frames/%09d.png", "a-%05d-b.png"})
        EXPECT_TRUE(valid_frame_pattern(good, why)) << good;
    for (const char *bad :
         {"%s.png", "%n.png", "%x.png", "%5d.png", "%0d.png", "%010d.png", "%d%d.png", "%05d-%%.png",
          "%%d.png", "%-5d.png", "%ld.png", "%*d.png", "%d/x.png", "%d.jpg", "%d", "%", "frames/%05d"}) {
        why.clear();
        EXPECT_FALSE(valid_frame_pattern(bad, why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
}

TEST(RecordOutput, frame_names_pad_to_the_width_and_keep_the_rest)
{
    EXPECT_EQ(frame_file_name("frames/%05d.png", 42), "frames/00042.png");
    EXPECT_EQ(frame_file_name("f%d.png", 0), "f0.png");
    EXPECT_EQ(frame_file_name("f%02d.png", 1234), "f1234.png");
    EXPECT_EQ(frame_file_name("dir%/x-%03d.png", 7), "dir%/x-%03d.png"); // not valid: unchanged
}

TEST(RecordPlan, counts_the_frames_before_the_end_time)
{
    const RecordPlan two_seconds = plan_record(20.5, 22.5, 30, 251.0);
    EXPECT_EQ(two_seconds.frames, 60);
    EXPECT_DOUBLE_EQ(two_seconds.seconds(), 2.0);
    EXPECT_DOUBLE_EQ(two_seconds.frame_time(59), 20.5 + 59.0 / 30.0);
    EXPECT_EQ(plan_record(0.0, 1e300, 60, 251.0).frames, 251 * 60 + 1); // 0 .. 251 inclusive
    EXPECT_EQ(plan_record(0.0, 251.0, 30, 251.0).frames, 251 * 30);
}

TEST(RecordPlan, stops_at_the_show_end_and_plans_nothing_for_empty_ranges)
{
    const RecordPlan end = plan_record(250.0, 260.0, 10, 251.0);
    EXPECT_EQ(end.frames, 11); // 250.0 .. 251.0
    EXPECT_LE(end.frame_time(end.frames - 1), 251.0);
    EXPECT_EQ(plan_record(251.0, 260.0, 30, 251.0).frames, 1);
    EXPECT_EQ(plan_record(252.0, 260.0, 30, 251.0).frames, 0);
    EXPECT_EQ(plan_record(10.0, 10.0, 30, 251.0).frames, 0);
    EXPECT_EQ(plan_record(10.0, 11.0, 0, 251.0).frames, 0);
}

TEST(RecordPlan, the_sound_of_consecutive_frames_joins_without_gaps)
{
    // 44100 / 30 = 1470 exactly; 44100 / 60 = 735; 44100 / 24 = 1837.5.
    EXPECT_EQ(audio_frame_at(1, 30, 44100), 1470);
    EXPECT_EQ(audio_frame_at(1, 24, 44100), 1837);
    EXPECT_EQ(audio_frame_at(2, 24, 44100), 3675);
    EXPECT_EQ(audio_frame_at(24 * 251, 24, 44100), 44100LL * 251);
}

TEST(Progress, text_says_frame_percent_speed_and_time_left)
{
    EXPECT_EQ(progress_text(150, 600, 2.5), "frame 150 of 600 (25.0 %), 2.50 fps, 3:00 left");
    EXPECT_EQ(progress_text(0, 10, 0.0), "frame 0 of 10 (0.0 %), 0.00 fps, --:-- left");
}

TEST(Progress, a_log_gets_a_line_every_5_percent_a_terminal_one_line_in_place)
{
    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *log = open_memstream(&text, &size);
    ProgressReporter to_log(200, false, log);
    for (long n = 1; n <= 200; ++n)
        to_log.report(n, static_cast<double>(n));
    to_log.finish();
    std::fclose(log);
    const std::string logged(text, size);
    std::free(text);
    int lines = 0;
    for (char c : logged)
        lines += c == '\n';
    EXPECT_EQ(lines, 20);
    EXPECT_NE(logged.find("frame 10 of 200 (5.0 %)"), std::string::npos);
    EXPECT_NE(logged.find("frame 200 of 200 (100.0 %)"), std::string::npos);

    std::FILE *tty = open_memstream(&text, &size);
    ProgressReporter to_tty(3, true, tty);
    for (long n = 1; n <= 3; ++n)
        to_tty.report(n, 1.0);
    to_tty.finish();
    std::fclose(tty);
    const std::string shown(text, size);
    std::free(text);
    EXPECT_EQ(shown.find('\n'), shown.size() - 1); // one line, ended at the finish
    EXPECT_EQ(shown.rfind('\r'), shown.find("\rframe 3 of 3"));
}
