#include "show/dev_overlay_text.h"

#include <gtest/gtest.h>

namespace
{
bool has_line(const std::vector<std::string> &lines, const std::string &text)
{
    for (const std::string &l : lines)
        if (l.find(text) != std::string::npos)
            return true;
    return false;
}
} // namespace

TEST(RunningFadeCue, names_the_cue_behind_the_black_and_nothing_between_fades)
{
    std::vector<Cue> in, out;
    fill_fade_cues(in, out);
    // Rising from black after the cut at 21 (over 2 s from 20.9).
    auto c = running_fade_cue(21.9, in, out);
    ASSERT_TRUE(c);
    EXPECT_FALSE(c->fading_out);
    EXPECT_DOUBLE_EQ(c->cue.time, 21.0);
    EXPECT_NEAR(c->progress, 0.5, 1e-9);
    // Mid-scene: no fade.
    EXPECT_FALSE(running_fade_cue(60.0, in, out));
    // The fall at 83 wins over the in-cue it darkens.
    c = running_fade_cue(83.4, in, out);
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->fading_out);
    EXPECT_DOUBLE_EQ(c->cue.time, 83.0);
    // The final fade holds black to the end: progress stays at 1 in the hold.
    c = running_fade_cue(240.0, in, out);
    ASSERT_TRUE(c);
    EXPECT_DOUBLE_EQ(c->cue.time, 229.0);
    EXPECT_DOUBLE_EQ(c->progress, 1.0);
}

TEST(OverlayText, says_where_the_show_is_and_what_went_wrong_last)
{
    OverlayValues v;
    v.show_time = 64.2;
    v.scene_time = 61.17;
    v.frames_per_second = 59.94;
    v.paused = true;
    v.passes = {{"scene", 3.25}, {"blur", 0.5}};
    v.passes_on_gpu = true;
    v.last_shader_error = "Materials/f_billboards.cpp:\n0:3(1): error: syntax error";
    const auto lines = overlay_lines(v);
    EXPECT_TRUE(has_line(lines, "show 64.20 s")) << lines[0];
    EXPECT_TRUE(has_line(lines, "scene 61.17 s"));
    EXPECT_TRUE(has_line(lines, "PAUSED"));
    EXPECT_TRUE(has_line(lines, "59.9 frames per second"));
    EXPECT_TRUE(has_line(lines, "camera row from 41.0 s"));
    EXPECT_TRUE(has_line(lines, "no fade running"));
    EXPECT_TRUE(has_line(lines, "scene       3.25 ms GPU"));
    EXPECT_TRUE(has_line(lines, "shader error: Materials/f_billboards.cpp:"));
    EXPECT_FALSE(has_line(lines, "syntax error")) << "only the first line of the log is in the text";

    v.paused = false;
    v.last_shader_error.clear();
    v.passes_on_gpu = false;
    const auto quiet = overlay_lines(v);
    EXPECT_FALSE(has_line(quiet, "PAUSED"));
    EXPECT_FALSE(has_line(quiet, "shader error"));
    EXPECT_TRUE(has_line(quiet, "ms CPU"));
}
