// Frames of the whole show drawn offline under Xvfb at 160 x 90 (smaller
// than the 512 x 512 top view on purpose: the height map must not depend on
// the window). llvmpipe draws about two million points per frame, so each
// test keeps to a few frames.
#include "app/still.h"
#include "show/part_start.h"
#include "support/whole_show.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <numeric>
#include <vector>

namespace fs = std::filesystem;

namespace
{

constexpr int width = 160;
constexpr int height = 90;

double mean(const std::vector<std::uint8_t> &bytes)
{
    return std::accumulate(bytes.begin(), bytes.end(), 0.0) / static_cast<double>(bytes.size());
}

std::uint8_t brightest(const std::vector<std::uint8_t> &bytes)
{
    std::uint8_t m = 0;
    for (std::uint8_t b : bytes)
        m = std::max(m, b);
    return m;
}

// Texels of the height map (RGBA) that a mesh covers.
int covered_texels(const std::vector<std::uint8_t> &map)
{
    int n = 0;
    for (std::size_t i = 3; i < map.size(); i += 4)
        n += map[i] > 127;
    return n;
}

void with_show(const std::function<void(OfflineShow &)> &body)
{
    ASSERT_TRUE(run_offline_show(width, height, body));
}

using ShowFrames = WholeShowTest;

} // namespace

TEST_F(ShowFrames, lit_where_the_show_is_lit_and_black_once_the_final_fade_holds)
{
    with_show([](OfflineShow &show) {
        for (double t : {12.0, 60.0, 136.0, 178.0, 220.0}) {
            show.draw_at(t);
            const auto frame = show.read_frame();
            EXPECT_GT(mean(frame), 2.0) << "scene time " << t;
            EXPECT_GT(brightest(frame), 100) << "scene time " << t;
        }
        // Cut to black and held: the start, the hold of the break at 160,
        // and everything after the final fade.
        for (double t : {0.0, 160.3, 235.3, 238.4}) {
            show.draw_at(t);
            EXPECT_LE(brightest(show.read_frame()), t == 0.0 ? 8 : 0) << "scene time " << t;
        }
    });
}

TEST_F(ShowFrames, height_map_holds_the_city_in_the_crane_shot_and_is_empty_after_202)
{
    with_show([](OfflineShow &show) {
        show.draw_at(45.0);
        const int city = covered_texels(show.read_height_map());
        EXPECT_GT(city, 512 * 512 / 4);
        show.draw_at(83.9);
        EXPECT_EQ(covered_texels(show.read_height_map()), city); // the same city, not moving
        show.draw_at(170.0);
        const int insect = covered_texels(show.read_height_map());
        EXPECT_GT(insect, 0);
        EXPECT_NE(insect, city);
        show.draw_at(202.5);
        EXPECT_EQ(covered_texels(show.read_height_map()), 0);
        // Skipped frames keep the map: after 203 it stays empty.
        show.draw_at(215.0);
        EXPECT_EQ(covered_texels(show.read_height_map()), 0);
    });
}

TEST_F(ShowFrames, same_scene_time_gives_the_same_frame)
{
    with_show([](OfflineShow &show) {
        show.draw_at(190.0);
        const auto first = show.read_frame();
        const auto first_map = show.read_height_map();
        show.draw_at(121.0);
        const auto other = show.read_frame();
        show.draw_at(190.0);
        EXPECT_TRUE(show.read_frame() == first);
        EXPECT_TRUE(show.read_height_map() == first_map);
        EXPECT_FALSE(other == first);
    });
}

// The whole show, one frame every 2 s of scene time from the start to the
// end, with GL's error queue empty after the start-up and after every frame
// (a pass that leaves a bad binding or state for the next shows up here).
TEST_F(ShowFrames, whole_show_every_two_seconds_draws_without_gl_errors)
{
    with_show([](OfflineShow &show) {
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "after the window and the start-up";
        for (int t = 0; t <= 251; t += 2) {
            show.draw_at(t);
            GLenum first = glGetError();
            EXPECT_EQ(first, GLenum(GL_NO_ERROR)) << "scene time " << t;
            while (first != GL_NO_ERROR)
                first = glGetError();
        }
    });
}
