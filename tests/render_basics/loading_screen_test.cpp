#include "support/gl_test_context.h"

#include "render/render_targets.h"
#include "runtime/show_state.h"
#include "show/part_loader.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
struct LoadingScreen : GlTest {
    std::unique_ptr<RenderTargets> rt = std::make_unique<RenderTargets>();
    part_loader loader;

    void SetUp() override
    {
        GlTest::SetUp();
        glViewport(0, 0, width, height);
        render_width = width;
        render_height = height;
        loader.setup(*rt);
    }
    void draw(double step) { loader.draw(&step, *rt, nullptr); }

    static std::vector<unsigned char> frame()
    {
        std::vector<unsigned char> px(width * height * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    }
    static int red(const std::vector<unsigned char> &px, int x, int y) { return px[(y * width + x) * 4]; }

    // Brightest red along a short run of pixels (the arcs are ~2 pixels thick).
    static int brightest_in_row(const std::vector<unsigned char> &px, int y, int x0, int x1)
    {
        int best = 0;
        for (int x = x0; x <= x1; ++x)
            best = std::max(best, red(px, x, y));
        return best;
    }
    static int brightest_in_column(const std::vector<unsigned char> &px, int x, int y0, int y1)
    {
        int best = 0;
        for (int y = y0; y <= y1; ++y)
            best = std::max(best, red(px, x, y));
        return best;
    }
};

// 65-degree field of view from 11 units away: pixels per unit at z = 0.
const double pixels_per_unit = 512 / (2 * 11 * 0.6370702608); // tan(32.5 degrees)
int px_of(double v)
{
    return static_cast<int>(256 + v * pixels_per_unit);
}
} // namespace

TEST_F(LoadingScreen, black_at_clock_zero_and_unchanged_by_a_zero_step)
{
    draw(0.0);
    EXPECT_EQ(loader.loader_clock, 0.0);
    const auto px = frame();
    for (std::size_t i = 0; i < px.size(); i += 4)
        ASSERT_EQ(px[i] | px[i + 1] | px[i + 2], 0) << "pixel " << i / 4;
}

TEST_F(LoadingScreen, arcs_sweep_clockwise_from_the_top)
{
    draw(25.0 / 0.902); // loader clock 25: half a turn, fully faded in
    EXPECT_NEAR(loader.loader_clock, 25.0, 1e-9);
    const auto px = frame();
    // The quad adds white in the middle.
    EXPECT_GT(red(px, 256, 256), 240);
    // The outer arc (radius 4.3 to 4.35) lies outside the +-4.1 quad: lit at
    // the top and on the right, not yet on the left.
    EXPECT_GT(brightest_in_column(px, 256, px_of(4.2), px_of(4.45)), 20);
    EXPECT_GT(brightest_in_row(px, 256, px_of(4.2), px_of(4.45)), 20);
    EXPECT_EQ(brightest_in_row(px, 256, px_of(-4.45), px_of(-4.2)), 0);
    // Nothing beyond the outer arc.
    EXPECT_EQ(brightest_in_row(px, 256, px_of(4.6), px_of(6.0)), 0);

    const auto again = (draw(0.0), frame());
    EXPECT_EQ(again, px); // a zero step redraws the same frame
}

TEST_F(LoadingScreen, fades_in_over_four_seconds)
{
    draw(2.0 / 0.902);
    EXPECT_NEAR(red(frame(), 256, 256), 128, 2);
    EXPECT_DOUBLE_EQ(loader_fade(0.0), 0.0);
    EXPECT_DOUBLE_EQ(loader_fade(4.0), 1.0);
    EXPECT_DOUBLE_EQ(loader_fade(44.0), 1.0);
    EXPECT_NEAR(loader_fade(46.0), 0.65, 1e-12);
    EXPECT_LT(loader_fade(50.0), 0.0); // clamped to black by GL
}

// Start-up draws the loading screen right after making the render sets and
// again between texture loads: it must find the window's framebuffer, so its
// clears reach the window and its attribute pop restores the window's own
// draw buffer (GL errors otherwise).
TEST_F(LoadingScreen, drawn_after_the_render_sets_without_gl_errors)
{
    while (glGetError() != GL_NO_ERROR) {
    }
    for (int set = 0; set < 4; ++set)
        rt->create_render_set(RenderSetNumber{set}, width >> set, height >> set, 0);
    draw(0.0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLint buffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &buffer);
    EXPECT_EQ(buffer, GL_BACK);
}
