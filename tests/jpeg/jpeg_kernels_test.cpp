// The JPEG decoder's pixel kernels: every form (scalar, SSE2, AVX2 where the
// processor has it) gives the same bytes, on blocks and colours far outside
// what a well-behaved file holds, and the colour steps give the conversion
// they document.
#include "assets/jpeg/jpeg_kernels.h"

#include "jpeg_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace
{

using jpeg_kernels::simd_level;

std::vector<simd_level> vector_levels()
{
    std::vector<simd_level> levels;
    for (simd_level l : {simd_level::sse2, simd_level::avx2})
        if (jpeg_kernels::usable_simd_level(l) == l)
            levels.push_back(l);
    return levels;
}

// Coefficients of every scale: small ones as in photos, and wide ones whose
// products wrap in 16 bits.
void random_block(std::mt19937 &rng, std::int16_t *block, std::int16_t *quant)
{
    const int scale = 1 << (rng() % 15);
    for (int i = 0; i < 64; ++i) {
        block[i] = static_cast<std::int16_t>(static_cast<int>(rng() % (2 * scale + 1)) - scale);
        if (rng() % 3 == 0)
            block[i] = 0;
        quant[i] = static_cast<std::int16_t>(1 + rng() % (rng() % 4 == 0 ? 32767 : 400));
    }
}

} // namespace

TEST(JpegKernels, every_form_transforms_random_blocks_to_the_same_bytes)
{
    std::mt19937 rng(99);
    const bool avx2 = jpeg_kernels::best_simd_level() == simd_level::avx2;
    for (int i = 0; i < 4000; ++i) {
        std::int16_t a[64], qa[64], b[64], qb[64];
        random_block(rng, a, qa);
        random_block(rng, b, qb);
        // Outputs with different strides, bytes around them watched.
        std::uint8_t want_a[8 * 8], want_b[8 * 13];
        jpeg_kernels::idct_scalar(a, qa, want_a, 8);
        jpeg_kernels::idct_scalar(b, qb, want_b, 13);
        if (jpeg_kernels::usable_simd_level(simd_level::sse2) == simd_level::sse2) {
            std::uint8_t got[8 * 8];
            jpeg_kernels::idct_sse2(a, qa, got, 8);
            ASSERT_TRUE(std::equal(got, got + 64, want_a)) << "SSE2, block " << i;
        }
        if (avx2) {
            std::vector<std::uint8_t> got_a(8 * 8 + 16, 0xAB), got_b(8 * 13 + 16, 0xCD);
            jpeg_kernels::idct_avx2_pair(a, qa, got_a.data() + 8, 8, b, qb, got_b.data() + 8, 13);
            ASSERT_TRUE(std::equal(want_a, want_a + 64, got_a.begin() + 8)) << "AVX2 first, block " << i;
            for (int r = 0; r < 8; ++r)
                ASSERT_TRUE(std::equal(want_b + r * 13, want_b + r * 13 + 8, got_b.begin() + 8 + r * 13))
                    << "AVX2 second, block " << i;
            for (int r = 0; r < 7; ++r) // the gaps between the rows of the second block
                for (int k = 8; k < 13; ++k)
                    ASSERT_EQ(got_b[8 + static_cast<std::size_t>(r) * 13 + k], 0xCD);
            ASSERT_EQ(got_a[7], 0xAB);
            ASSERT_EQ(got_a[8 + 64], 0xAB);
        }
    }
}

TEST(JpegKernels, dc_only_blocks_match_the_full_transform)
{
    std::int16_t quant[64];
    for (int i = 0; i < 64; ++i)
        quant[i] = static_cast<std::int16_t>(1 + i * 37);
    for (int dc = -2048; dc <= 2048; dc += 7) {
        std::int16_t block[64] = {};
        block[0] = static_cast<std::int16_t>(dc);
        std::uint8_t want[64], got[64];
        jpeg_kernels::idct_scalar(block, quant, want, 8);
        jpeg_kernels::idct_dc_only(block[0], quant[0], got, 8);
        ASSERT_TRUE(std::equal(got, got + 64, want)) << dc;
    }
}

TEST(JpegKernels, zigzag_blocks_reach_natural_order_and_ac_is_found_in_every_form)
{
    std::mt19937 rng(5);
    std::vector<simd_level> levels = vector_levels();
    levels.push_back(simd_level::scalar);
    for (int round = 0; round < 200; ++round) {
        std::int16_t zigzag[64], quant[64];
        random_block(rng, zigzag, quant);
        for (simd_level l : levels) {
            std::int16_t natural[64];
            std::fill(natural, natural + 64, std::int16_t{0x5A5A}); // every entry must be written
            jpeg_kernels::natural_from_zigzag_block(l, zigzag, natural);
            for (int k = 0; k < 64; ++k)
                ASSERT_EQ(natural[jpeg_kernels::natural_from_zigzag[k]], zigzag[k]) << "form " << int(l);
        }
    }
    // AC coefficients are found wherever they sit, and DC alone is not one.
    for (int k = 0; k < 64; ++k) {
        std::int16_t block[64] = {};
        block[0] = 99;
        EXPECT_FALSE(jpeg_kernels::has_ac(block));
        block[k] = static_cast<std::int16_t>(k == 0 ? 7 : -1);
        EXPECT_EQ(jpeg_kernels::has_ac(block), k != 0) << k;
    }
}

TEST(JpegKernels, colour_steps_give_the_jfif_conversion_in_every_form)
{
    // Every (Cb, Cr) pair, each with a spread of luma values, in 4:4:4 and in
    // horizontally replicated 4:2:x, over lengths that end mid-group.
    std::mt19937 rng(4);
    const int count = 256 * 256;
    std::vector<std::uint8_t> cb(count + 32), cr(count + 32);
    for (int i = 0; i < count; ++i) {
        cb[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i & 255);
        cr[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i >> 8);
    }
    auto clamp = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    for (const int shift : {0, 1}) {
        const int pixels = (count << shift) - 5; // not a whole group
        std::vector<std::uint8_t> y(static_cast<std::size_t>(pixels) + 64);
        for (std::uint8_t &v : y)
            v = static_cast<std::uint8_t>(rng());
        std::vector<std::uint8_t> want(static_cast<std::size_t>(pixels) * 4);
        for (int x = 0; x < pixels; ++x) {
            const int yy = y[static_cast<std::size_t>(x)];
            const int kb = cb[static_cast<std::size_t>(x >> shift)] - 128;
            const int kr = cr[static_cast<std::size_t>(x >> shift)] - 128;
            std::uint8_t *p = &want[static_cast<std::size_t>(x) * 4];
            p[0] = clamp(yy + ((91882 * kr + 32768) >> 16));
            p[1] = clamp(yy + ((-46802 * kr - 22554 * kb + 32768) >> 16));
            p[2] = clamp(yy + ((116130 * kb + 32768) >> 16));
            p[3] = 0;
        }
        std::vector<simd_level> levels = vector_levels();
        levels.push_back(simd_level::scalar);
        for (simd_level level : levels) {
            std::vector<std::int16_t> r(count + 64), g(count + 64), b(count + 64);
            jpeg_kernels::chroma_offsets(level, cb.data(), cr.data(), count, r.data(), g.data(), b.data());
            std::vector<std::uint8_t> got(static_cast<std::size_t>(pixels + 32) * 4, 0xEE);
            jpeg_kernels::colour_from_offsets(level, y.data(), r.data(), g.data(), b.data(), shift, pixels,
                                              got.data());
            ASSERT_TRUE(std::equal(want.begin(), want.end(), got.begin()))
                << "form " << static_cast<int>(level) << ", chroma shift " << shift;
        }
    }
}

TEST(JpegKernels, decoder_forms_agree_on_grainy_and_smooth_pictures_in_every_layout)
{
    struct layout {
        int components, h, v;
        bool progressive;
        int restart_interval;
    };
    const layout layouts[] = {{3, 2, 2, false, 0}, {3, 1, 1, false, 0}, {3, 2, 1, false, 5},
                              {3, 1, 2, true, 0},  {3, 2, 2, true, 2},  {1, 1, 1, false, 0}};
    for (const char *kind : {"grainy", "smooth"})
        for (const layout &l : layouts)
            for (const int size : {37, 130}) {
                encode_options o;
                o.width = size;
                o.height = size - 9;
                o.components = l.components;
                o.h = l.h;
                o.v = l.v;
                o.progressive = l.progressive;
                o.restart_interval = l.restart_interval;
                const bytes jpeg = encode_libjpeg(make_picture(kind, o.width, o.height, o.components, 11), o);
                const decoded_image scalar = decode_ours_with(jpeg, jpeg_image_decoder::kernels::scalar);
                ASSERT_EQ(scalar.error, 0);
                for (const auto forms :
                     {jpeg_image_decoder::kernels::sse2, jpeg_image_decoder::kernels::avx2}) {
                    const decoded_image got = decode_ours_with(jpeg, forms, 700);
                    EXPECT_EQ(got.pixels, scalar.pixels)
                        << kind << " " << size << " layout " << (&l - layouts) << " forms "
                        << static_cast<int>(forms);
                }
            }
}
