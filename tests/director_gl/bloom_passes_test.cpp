// The quarter-size blooms, fed a known picture: a square of glow spreads
// into the wide and the medium bloom with the widths the combine pass
// expects and keeps its light; the density rides along unblurred; the
// highlights' bloom takes only what is brighter than 0.45.
#include "app/still.h"
#include "render/frame_readback.h"
#include "render/render_targets.h"
#include "show/bloom_passes.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "show/screen_passes.h"

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
void fill_table_texture(RenderTargets &ctx, int number, std::uint8_t outside, std::uint8_t inside)
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

// The blur's own standard deviation: what the spread has beyond the 4 x 4
// quarter texels of the square and the sixth of a texel squared that
// sampling between texels adds (the taps fall anywhere between two).
double blur_width(double spread, int quarter_size)
{
    const double texel = 1.0 / quarter_size;
    const double square = (4.0 * 4.0 - 1.0) / 12.0 * texel * texel, between = texel * texel / 6.0;
    return std::sqrt(std::max(spread * spread - square - between, 0.0));
}

void with_show(const std::function<void(OfflineShow &)> &body)
{
    std::filesystem::current_path(std::filesystem::path(VELLAMOR_SOURCE_DIR) / "data");
    ASSERT_TRUE(run_offline_show(width, height, body));
}

} // namespace

TEST(BloomPasses, a_square_of_glow_spreads_to_the_wide_and_medium_widths_and_keeps_its_light)
{
    with_show([](OfflineShow &show) {
        show.prepare(60.0);
        fill_table_texture(show.ctx, tex::scene_glow, 0, 255);
        glow_bloom_pass(show.show, show.ctx, width, height);
        const double light = 16.0 * 16.0 / 16.0 * 255.0; // quarter texels' worth
        for (const auto &[number, bloom] : {std::pair{tex::glow_bloom_wide, glow_bloom_wide},
                                            std::pair{tex::glow_bloom_medium, glow_bloom_medium}}) {
            SCOPED_TRACE(number);
            const auto pixels = read_back_table_texture_rgba(show.ctx, number, quarter_width, quarter_height);
            const Spread s = spread_of(pixels);
            EXPECT_NEAR(s.total, light, light * 0.1);
            EXPECT_NEAR(blur_width(s.across, quarter_width), bloom.across, bloom.across * 0.1);
            EXPECT_NEAR(blur_width(s.down, quarter_height), bloom.down, bloom.down * 0.1);
        }
        // The density (alpha) of the medium bloom is the square itself.
        const auto medium =
            read_back_table_texture_rgba(show.ctx, tex::glow_bloom_medium, quarter_width, quarter_height);
        const auto alpha = [&](int x, int y) {
            return medium[(static_cast<std::size_t>(y) * quarter_width + x) * 4 + 3];
        };
        EXPECT_EQ(alpha(39, 21), 255);
        EXPECT_EQ(alpha(42, 21), 0);
    });
}

TEST(BloomPasses, the_highlights_bloom_takes_only_what_is_brighter_than_0_45)
{
    with_show([](OfflineShow &show) {
        show.prepare(60.0);
        // A grey at 0.4 everywhere gives nothing; the square at 1.0 gives
        // its light above 0.45.
        fill_table_texture(show.ctx, tex::scene_colour, 102, 255);
        highlight_bloom_pass(show.show, show.ctx, width, height);
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
        EXPECT_NEAR(blur_width(s.across, quarter_width), w.across, w.across * 0.1);
    });
}
