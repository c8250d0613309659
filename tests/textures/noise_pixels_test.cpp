// Noise buffers: exact bytes from the generator, call order, value ranges.
// The expected values come from a generator written out here from its
// definition, not from the one under test.
#include "render/noise_pixels.h"
#include "runtime/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{

// state = state * 214013 + 2531011 (mod 2^32); bits 16..30 of the new state.
struct ReferenceGenerator {
    std::uint32_t state = 1;
    int next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7fff);
    }
};

} // namespace

TEST(NoisePixels, rgb_first_texels_from_the_initial_state_go_down_the_first_column)
{
    random_seed(1); // the state before any seeding
    const std::vector<unsigned char> pixels = noise_pixels_rgb(4, 3);
    ASSERT_EQ(pixels.size(), 4u * 3u * 3u);

    // The first values of the generator from state 1 are 41, 18467, 6334,
    // 26500, ...: texel (0, 0) takes the first three, texel (0, 1), one row
    // down in memory, the next three.
    ReferenceGenerator ref;
    EXPECT_EQ(ref.next(), 41);
    ref = {};
    for (int x = 0; x < 4; ++x) {
        for (int y = 0; y < 3; ++y) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(pixels[(y * 4 + x) * 3 + c], ref.next() % 256)
                    << "texel (" << x << ", " << y << ") component " << c;
            }
        }
    }
    EXPECT_EQ(pixels[0], 41);
    EXPECT_EQ(pixels[1], 18467 % 256);
    EXPECT_EQ(pixels[2], 6334 % 256);
    EXPECT_EQ(pixels[4 * 3], 26500 % 256) << "the second value triple is texel (0, 1)";
    EXPECT_EQ(random_state(), ref.state) << "exactly width x height x 3 numbers drawn";
}

TEST(NoisePixels, rgba_follows_memory_order_modulo_255)
{
    random_seed(1);
    const std::vector<unsigned char> pixels = noise_pixels_rgba(3, 2);
    ASSERT_EQ(pixels.size(), 3u * 2u * 4u);
    ReferenceGenerator ref;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        ASSERT_EQ(pixels[i], ref.next() % 255) << "byte " << i;
    }
    EXPECT_EQ(random_state(), ref.state);
}

TEST(NoisePixels, rgba_never_holds_255_even_where_the_generator_gives_its_maximum)
{
    // A state whose next value is 255 modulo 256: a modulus of 256 would
    // store 255 there.
    ReferenceGenerator ref;
    ref.state = 12345;
    std::uint32_t seed = ref.state;
    while (ref.next() % 256 != 255) {
        seed = ref.state;
    }
    random_seed(seed);
    EXPECT_NE(noise_pixels_rgba(1, 1)[0], 255);

    random_seed(1);
    const std::vector<unsigned char> pixels = noise_pixels_rgba(256, 256);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 255), 0);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), 254), 0) << "the full range 0..254 occurs";
}

TEST(NoisePixels, rgb_uses_all_256_values)
{
    random_seed(7);
    const std::vector<unsigned char> pixels = noise_pixels_rgb(64, 64);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), 255), 0);
}

TEST(NoisePixels, empty_and_negative_sizes_draw_no_numbers)
{
    random_seed(99);
    EXPECT_TRUE(noise_pixels_rgb(0, 16).empty());
    EXPECT_TRUE(noise_pixels_rgb(16, 0).empty());
    EXPECT_TRUE(noise_pixels_rgba(0, 0).empty());
    EXPECT_TRUE(noise_pixels_rgba(-4, -4).empty()) << "two negatives must not multiply to a size";
    EXPECT_TRUE(noise_pixels_rgb(-3, 5).empty());
    EXPECT_EQ(random_state(), 99u);
}

TEST(NoisePixels, same_seed_and_order_give_identical_images)
{
    auto run = [] {
        random_seed(4242);
        std::vector<unsigned char> a = noise_pixels_rgb(33, 17);
        std::vector<unsigned char> b = noise_pixels_rgba(19, 7);
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<unsigned char> first = run();
    EXPECT_EQ(run(), first);

    // The order is part of the recipe: swapping the calls changes the image.
    random_seed(4242);
    std::vector<unsigned char> b = noise_pixels_rgba(19, 7);
    std::vector<unsigned char> a = noise_pixels_rgb(33, 17);
    a.insert(a.end(), b.begin(), b.end());
    EXPECT_NE(a, first);
}
