// The quarter-size blooms, fed a known picture: a square of glow spreads
// into the mixed wide and medium bloom with the widths the combine pass
// expects and keeps its light; the density rides along unblurred; the
// highlights' bloom takes only what is brighter than 0.45.
#include "app/still.h"
#include "render/frame_readback.h"
#include "render/render_targets.h"
#include "show/bloom_passes.h"
#include "show/director_passes.h"
#include "show/frame_plan.h"
#include "show/letterbox.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "show/screen_passes.h"
#include "support/whole_show.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace
{

constexpr int width = 320;
constexpr int height = 180;
constexpr int quarter_width = width / 4;
constexpr int quarter_height = height / 4;

// A 16 x 16 square of `inside` near the middle of a picture of `outside`
// (RGBA), on whole quarter texels: 4 x 4 of them.
void fill_table_texture(RenderTargets &ctx, TextureNumber number, std::uint8_t outside, std::uint8_t inside)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4, outside);
    for (int y = 80; y < 96; ++y)
        for (int x = 152; x < 168; ++x)
            for (int k = 0; k < 4; ++k)
                pixels[(static_cast<std::size_t>(y) * width + x) * 4 + k] = inside;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, ctx.textures[number]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

struct Spread {
    double total = 0;            // sum of the red channel
    double across = 0, down = 0; // standard deviations in texture coordinates
};

Spread spread_of(const std::vector<std::uint8_t> &rgba)
{
    Spread s;
    double mx = 0, my = 0, xx = 0, yy = 0;
    for (int y = 0; y < quarter_height; ++y) {
        for (int x = 0; x < quarter_width; ++x) {
            const double v = rgba[(static_cast<std::size_t>(y) * quarter_width + x) * 4];
            const double u = (x + 0.5) / quarter_width, t = (y + 0.5) / quarter_height;
            s.total += v;
            mx += v * u;
            my += v * t;
            xx += v * u * u;
            yy += v * t * t;
        }
    }
    mx /= s.total;
    my /= s.total;
    s.across = std::sqrt(xx / s.total - mx * mx);
    s.down = std::sqrt(yy / s.total - my * my);
    return s;
}

// The blur's own variance: what the spread has beyond the 4 x 4 quarter
// texels of the square.
double blur_variance(double spread, int quarter_size)
{
    const double texel = 1.0 / quarter_size;
    return spread * spread - (4.0 * 4.0 - 1.0) / 12.0 * texel * texel;
}

// A Gaussian of `variance` read from texels: filtered reads between texels
// may add up to a sixth of a texel squared; 10 % either way for the rest.
void expect_width(double measured_variance, double variance, int quarter_size)
{
    const double texel = 1.0 / quarter_size, between = texel * texel / 6.0;
    const double width = std::sqrt(std::max(measured_variance, 0.0));
    EXPECT_GE(width, 0.9 * std::sqrt(variance));
    EXPECT_LE(width, 1.1 * std::sqrt(variance + between));
}

void with_show(const std::function<void(OfflineShow &)> &body)
{
    ASSERT_TRUE(run_offline_show(width, height, body));
}

using BloomPasses = WholeShowTest;

} // namespace

TEST_F(BloomPasses, a_square_of_glow_spreads_to_the_mixed_widths_and_keeps_its_light)
{
    with_show([](OfflineShow &show) {
        show.prepare(60.0);
        fill_table_texture(show.ctx, tex::scene_glow, 0, 255);
        auto r = show.show.renderer(show.ctx);
        glow_bloom_pass(r, width, height);
        const double light = 16.0 * 16.0 / 16.0 * 255.0; // quarter texels' worth
        const auto pixels =
            read_back_table_texture_rgba(show.ctx, tex::glow_bloom, quarter_width, quarter_height);
        const Spread s = spread_of(pixels);
        EXPECT_NEAR(s.total, light, light * 0.1);
        // Two blooms of the same light, mixed: their variances mix too.
        const double share = glow_bloom_medium_share;
        const auto mixed = [share](float wide, float medium) {
            return (1.0 - share) * wide * wide + share * medium * medium;
        };
        expect_width(blur_variance(s.across, quarter_width),
                     mixed(glow_bloom_wide.across, glow_bloom_medium.across), quarter_width);
        expect_width(blur_variance(s.down, quarter_height),
                     mixed(glow_bloom_wide.down, glow_bloom_medium.down), quarter_height);
        // The density (alpha) is the square itself, unblurred.
        const auto alpha = [&](int x, int y) {
            return pixels[(static_cast<std::size_t>(y) * quarter_width + x) * 4 + 3];
        };
        EXPECT_EQ(alpha(39, 21), 255);
        EXPECT_EQ(alpha(42, 21), 0);
    });
}

TEST_F(BloomPasses, the_highlights_bloom_takes_only_what_is_brighter_than_0_45)
{
    with_show([](OfflineShow &show) {
        show.prepare(60.0);
        // A grey at 0.4 everywhere gives nothing; the square at 1.0 gives
        // its light above 0.45.
        fill_table_texture(show.ctx, tex::scene_colour, 102, 255);
        auto r = show.show.renderer(show.ctx);
        highlight_bloom_pass(r, width, height, highlight_bloom_width(0.0));
        const auto pixels =
            read_back_table_texture_rgba(show.ctx, tex::highlight_bloom, quarter_width, quarter_height);
        EXPECT_EQ(pixels[0], 0);
        EXPECT_EQ(
            pixels[(static_cast<std::size_t>(quarter_height - 1) * quarter_width + quarter_width - 1) * 4],
            0);
        const Spread s = spread_of(pixels);
        const double light = 16.0 * (255.0 - 0.45 * 255.0);
        EXPECT_NEAR(s.total, light, light * 0.1);
        const BloomWidth w = highlight_bloom_width(0.0);
        expect_width(blur_variance(s.across, quarter_width), w.across * w.across, quarter_width);
        expect_width(blur_variance(s.down, quarter_height), w.down * w.down, quarter_height);
    });
}

namespace
{

// The blur pass's soft blur seen on single points: white pixels on black,
// about 48 pixels apart around the middle of a w x h picture, no
// highlights; the spread is measured over the 13 x 13 pixels around each.
struct PointSpread {
    double centre_share = 0; // of each point's light, what stays on its pixel
    double spread = 0;       // variance along each axis, in pixels squared
};

PointSpread soft_blur_of_points(int w, int h)
{
    PointSpread result;
    const int step = 48, level = 255;
    std::vector<std::pair<int, int>> points;
    // Every phase against a half-size grid: even and odd columns and rows.
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            points.emplace_back(w / 2 + (i - 2) * step + i % 2, h / 2 + (j - 2) * step + j % 2);
    const bool ok = run_offline_show(w, h, [&](OfflineShow &show) {
        show.prepare(60.0);
        std::vector<std::uint8_t> picture(static_cast<std::size_t>(w) * h * 4, 0);
        for (const auto &[x, y] : points)
            for (int k = 0; k < 3; ++k)
                picture[(static_cast<std::size_t>(y) * w + x) * 4 + k] = level;
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, show.ctx.textures[tex::scene_colour]);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
        const std::vector<std::uint8_t> black(static_cast<std::size_t>(w / 4) * (h / 4) * 4, 0);
        glBindTexture(GL_TEXTURE_2D, show.ctx.textures[tex::highlight_bloom]);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w / 4, h / 4, GL_RGBA, GL_UNSIGNED_BYTE, black.data());

        auto r = show.show.renderer(show.ctx);
        const FramePlan plan = plan_frame(show.show.scene_time, show.show.frame, w, h, w, h);
        soft_halo_pass(r, plan.halo, plan.halo_radius);
        blur_pass(r, plan);
        const std::vector<std::uint8_t> rgb = read_back_frame_rgb(w, h); // top row first
        double share = 0, spread = 0;
        for (const auto &[px, py] : points) {
            double total = 0, centre = 0, moment = 0;
            for (int dy = -6; dy <= 6; ++dy) {
                for (int dx = -6; dx <= 6; ++dx) {
                    const int row = h - 1 - (py + dy);
                    const double v = rgb[(static_cast<std::size_t>(row) * w + px + dx) * 3];
                    total += v;
                    moment += v * 0.5 * (dx * dx + dy * dy);
                    if (dx == 0 && dy == 0)
                        centre = v;
                }
            }
            share += centre / total;
            spread += moment / total;
        }
        result.centre_share = share / static_cast<double>(points.size());
        result.spread = spread / static_cast<double>(points.size());
    });
    EXPECT_TRUE(ok);
    return result;
}

using SoftBlur = WholeShowTest;

} // namespace

TEST_F(SoftBlur, a_point_keeps_its_share_and_spread_whether_its_halo_is_made_at_half_or_full_size)
{
    // 1280 wide and up make the halo at half size, narrower pictures at full
    // size. Either way the blur keeps about 0.71 of a point on its pixel
    // and spreads the rest by about 0.35 pixels squared along each axis at
    // 1280 wide (the same share of the picture at other sizes): a halo
    // read back from half size without a smaller pinwheel spreads 1.5 times
    // as far, and one that went missing keeps the whole point.
    for (const auto &[w, h] : {std::pair{1280, 720}, std::pair{1920, 1080}, std::pair{960, 540}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        const PointSpread s = soft_blur_of_points(w, h);
        const double scale = w / 1280.0;
        EXPECT_NEAR(s.centre_share, 0.70, 0.035);
        EXPECT_NEAR(s.spread / (scale * scale), 0.35, 0.05);
    }
}
