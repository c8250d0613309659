// Pixel work of the texture loaders: RGB extraction (greyscale expansion),
// row order and the Sobel normal map with wrap-around neighbours.
#include "render/texture_pixels.h"

#include "jpeg_test_support.h"

#include <gtest/gtest.h>

namespace
{

// A packed RGB height image whose red channel is height(x, y).
template <typename F> bytes heights(int width, int height, F f)
{
    bytes rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t *p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            p[0] = static_cast<std::uint8_t>(f(x, y));
            p[1] = 200; // only red counts
            p[2] = 13;
        }
    return rgb;
}

std::uint8_t channel(const bytes &rgb, int width, int x, int y, int c)
{
    return rgb[(static_cast<std::size_t>(y) * width + x) * 3 + static_cast<std::size_t>(c)];
}

} // namespace

TEST(TexturePixels, greyscale_lines_expand_and_colour_lines_drop_the_fourth_byte)
{
    const std::uint8_t grey[3] = {0, 128, 255};
    std::uint8_t rgb[9] = {};
    line_to_rgb(grey, 1, 3, rgb);
    EXPECT_EQ(bytes(rgb, rgb + 9), (bytes{0, 0, 0, 128, 128, 128, 255, 255, 255}));
    const std::uint8_t colour[8] = {1, 2, 3, 99, 4, 5, 6, 99};
    line_to_rgb(colour, 4, 2, rgb);
    EXPECT_EQ(bytes(rgb, rgb + 6), (bytes{1, 2, 3, 4, 5, 6}));
}

TEST(TexturePixels, bottom_first_puts_the_top_line_last_for_grey_and_colour)
{
    for (int components : {1, 3}) {
        // Top half white, bottom half black.
        bytes picture(static_cast<std::size_t>(16) * 16 * components, 0);
        std::fill(picture.begin(), picture.begin() + static_cast<long>(picture.size() / 2), 255);
        encode_options o;
        o.width = 16;
        o.height = 16;
        o.components = components;
        o.quality = 100;
        const bytes jpeg = encode_libjpeg(picture, o);
        memory_stream stream(jpeg);
        jpeg_image_decoder decoder(&stream, true);
        ASSERT_EQ(decoder.start(), 0);
        bytes rgb;
        ASSERT_TRUE(read_rgb_image(decoder, true, rgb));
        ASSERT_EQ(rgb.size(), 16u * 16 * 3);
        EXPECT_GT(channel(rgb, 16, 3, 15, 0), 240) << "last row holds the top line";
        EXPECT_GT(channel(rgb, 16, 3, 15, 2), 240) << "grey fills blue too";
        EXPECT_LT(channel(rgb, 16, 3, 0, 1), 15);
        flip_rows(rgb, 16, 16);
        EXPECT_GT(channel(rgb, 16, 3, 0, 0), 240);
    }
}

TEST(TexturePixels, read_fails_when_the_decoder_fails_part_way)
{
    encode_options o;
    o.width = 64;
    o.height = 64;
    o.restart_interval = 1;
    bytes jpeg = encode_libjpeg(make_picture("photo", 64, 64, 3, 4), o);
    for (std::size_t i = jpeg.size() / 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xD0 && jpeg[i + 1] <= 0xD7) {
            jpeg[i + 1] = static_cast<std::uint8_t>(0xD0 + ((jpeg[i + 1] - 0xD0 + 3) & 7));
            break;
        }
    memory_stream stream(jpeg);
    jpeg_image_decoder decoder(&stream, true);
    ASSERT_EQ(decoder.start(), 0);
    bytes rgb;
    EXPECT_FALSE(read_rgb_image(decoder, true, rgb));
}

TEST(TexturePixels, flip_rows_handles_odd_heights)
{
    bytes rgb = {1, 1, 1, 2, 2, 2, 3, 3, 3};
    flip_rows(rgb, 1, 3);
    EXPECT_EQ(rgb, (bytes{3, 3, 3, 2, 2, 2, 1, 1, 1}));
}

TEST(NormalMap, flat_image_points_straight_up)
{
    const bytes n = normal_map_from_heights(heights(5, 4, [](int, int) { return 90; }).data(), 5, 4);
    for (std::size_t i = 0; i < n.size(); i += 3) {
        EXPECT_EQ(n[i], 127);
        EXPECT_EQ(n[i + 1], 127);
        EXPECT_EQ(n[i + 2], 255);
    }
}

TEST(NormalMap, one_pixel_wide_image_has_no_horizontal_slope)
{
    const bytes n = normal_map_from_heights(heights(1, 6, [](int, int y) { return y * 40; }).data(), 1, 6);
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(channel(n, 1, 0, y, 0), 127) << y;
    EXPECT_NE(channel(n, 1, 0, 2, 1), 127) << "the vertical slope still shows";
}

TEST(NormalMap, brightening_right_tilts_red_down_and_wraps_at_the_edge)
{
    const int w = 8;
    const bytes n = normal_map_from_heights(heights(w, 4, [](int x, int) { return x * 10; }).data(), w, 4);
    // Interior: gx = 4 * 20 / 255, so red = trunc((1 - gx / len) * 127.5).
    for (int x = 1; x < w - 1; ++x) {
        EXPECT_EQ(channel(n, w, x, 1, 0), 89) << x;
        EXPECT_EQ(channel(n, w, x, 1, 1), 127) << x;
        EXPECT_EQ(channel(n, w, x, 1, 2), 249) << x;
    }
    // Column 0's left neighbour is the bright last column.
    EXPECT_GT(channel(n, w, 0, 1, 0), 127);
    EXPECT_GT(channel(n, w, w - 1, 1, 0), 127);
}

TEST(NormalMap, brightening_downward_tilts_green_up)
{
    const int h = 8;
    const bytes n = normal_map_from_heights(heights(3, h, [](int, int y) { return y * 10; }).data(), 3, h);
    for (int y = 1; y < h - 1; ++y) {
        EXPECT_GT(channel(n, 3, 1, y, 1), 127) << y;
        EXPECT_EQ(channel(n, 3, 1, y, 0), 127) << y;
    }
    EXPECT_LT(channel(n, 3, 1, 0, 1), 127) << "row 0 sees the bright bottom row above it";
}
