// Author mode against the show's own start-up and tick at 160 x 90 under
// Xvfb: seeks land on the frame a still draws at the matching scene time
// (and print one line each), F12 writes those same pixels, and a pause holds
// the show clock and the music while frames go on being drawn.
#include "app/dev_mode.h"
#include "app/show_spine.h"
#include "app/still.h"
#include "render/frame_readback.h"
#include "runtime/show_state.h"
#include "shell/window.h"
#include "show/part_start.h"
#include "show/scene_clock.h"
#include "sound/music.h"
#include "sound/track_music.h"
#include "support/whole_show.h"

#include <gtest/gtest.h>
#include <png.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace
{
constexpr int width = 160, height = 90;
constexpr int key_right = 0x27, key_page_down = 0x22, key_space = 0x20, key_f12 = 0x7B;

// The show's window at 160 x 90 with the run's sources, as the program opens it.
bool open_small_show(ShowRun &run)
{
    fullscreen = false;
    force_16_9 = false;
    window_width = render_width = width;
    window_height = render_height = height;
    return open_show("author mode test", false, run);
}

std::vector<double> seek_lines(const std::string &out)
{
    std::vector<double> seeks;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("seek ", 0) == 0)
            seeks.push_back(std::stod(line.substr(5)));
    return seeks;
}

std::vector<std::uint8_t> read_png_rgb(const fs::path &file, int &w, int &h)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    w = static_cast<int>(image.width);
    h = static_cast<int>(image.height);
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return {};
    return rgb;
}
using DevModeGl = WholeShowTest;
} // namespace

TEST_F(DevModeGl, seeks_land_on_the_still_of_their_scene_time_and_f12_saves_that_frame)
{
    SteppedClock clock;
    TrackMusic music;
    ShowRun run{clock, music, false};
    ASSERT_TRUE(music.open(soundtrack_file));
    ASSERT_TRUE(open_small_show(run));
    const ScratchFolder captures("captures");
    {
        DevMode dev(run, *open_main_show(), captures.path().string());

        // Five pages and an arrow in one batch: 150 s, then 155 s, into a
        // stretch in which the top view keeps an older height map.
        testing::internal::CaptureStdout();
        dev.before_frame(
            {key_page_down, key_page_down, key_page_down, key_page_down, key_page_down, key_right});
        const std::vector<double> seeks = seek_lines(testing::internal::GetCapturedStdout());
        EXPECT_EQ(seeks, (std::vector<double>{30, 60, 90, 120, 150, 155}));

        // The next tick: the clock has not moved, so the step is 0.
        music.enter_frame(155.0, 0.0);
        ASSERT_EQ(show_frame(), FrameEnd::running);
        part_start &show = *open_main_show();
        EXPECT_DOUBLE_EQ(show_time, 155.0);
        EXPECT_NEAR(clock_for_scene_time(show.scene_time).raw_time, 155.0, 1e-9)
            << "the director's scene time is the offline mapping of the show time";
        const std::vector<std::uint8_t> after_seek = read_back_frame_rgb(width, height);

        // F12 in the next frame writes the frame as the window has it.
        testing::internal::CaptureStdout();
        dev.before_frame({key_f12});
        ASSERT_EQ(show_frame(), FrameEnd::running);
        dev.after_frame();
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("capture "), std::string::npos) << out;
        std::vector<fs::path> files;
        for (const auto &entry : fs::directory_iterator(captures.path()))
            files.push_back(entry.path());
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0].filename().string().rfind("scene-147.", 0), 0u) << files[0];
        int w = 0, h = 0;
        EXPECT_EQ(read_png_rgb(files[0], w, h), after_seek);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);

        // The still renderer's frame of the same scene time.
        OfflineShow still(show, render_targets, clock, music, width, height);
        still.draw_at(show.scene_time);
        EXPECT_EQ(still.read_frame(), after_seek) << "the frame after a seek is the still of that scene time";
    }
    close_show();
}

TEST_F(DevModeGl, pause_holds_the_music_and_the_show_clock_and_resume_moves_both)
{
    SteadyShowClock clock;
    LiveMusic music;
    ShowRun run{clock, music, false};
    ASSERT_TRUE(open_small_show(run));
    const ScratchFolder captures("captures");
    {
        DevMode dev(run, *open_main_show(), captures.path().string());
        for (int i = 0; i < 3; ++i) {
            dev.before_frame({});
            show_frame();
        }
        testing::internal::CaptureStdout();
        dev.before_frame({key_space});
        show_frame();
        const double held_show = show_time;
        const double held_music = music.position();
        const double held_scene = open_main_show()->scene_time;
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        for (int i = 0; i < 3; ++i) {
            dev.before_frame({});
            show_frame();
            EXPECT_EQ(show_time, held_show) << "frame " << i;
            EXPECT_EQ(open_main_show()->scene_time, held_scene) << "frame " << i;
            EXPECT_EQ(music.position(), held_music) << "frame " << i;
        }

        dev.before_frame({key_space});
        // Playback picks up once the decoder has sought back to the held
        // frame: on a loaded machine that may take a moment.
        const auto resumed = std::chrono::steady_clock::now();
        double heard = music.position();
        while (heard < held_music + 0.1 &&
               std::chrono::steady_clock::now() - resumed < std::chrono::seconds(5)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            heard = music.position();
        }
        const double since =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - resumed).count();
        EXPECT_GE(heard, held_music + 0.1) << "the music plays on from where it was held";
        EXPECT_LE(heard, held_music + since + 0.1)
            << "from the held place, not from where it would have been";
        show_frame();
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("pause "), std::string::npos) << out;
        EXPECT_NE(out.find("resume "), std::string::npos) << out;
        EXPECT_GT(show_time, held_show) << "the show clock runs again";
    }
    close_show();
}
