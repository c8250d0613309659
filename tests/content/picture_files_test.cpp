// The committed pictures, decoded with libjpeg-turbo: colour at their
// sizes, the decoding paths the show must handle (progressive, restart
// markers, every chroma sampling), and the properties the shaders rely on:
// a seamless grey noise, white-on-black text, a soft palette. When
// jpegdump is built, the show's own decoder must read the same pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

#include "content_support.h"

namespace
{

using content::data_dir;
using content::decode_jpeg;
using content::Decoded;

const char *const kPictures[] = {"bg05t.jpg", "letters.jpg", "zvxr.jpg", "noise.jpg"};

const Decoded &picture(const std::string &name)
{
    static std::map<std::string, Decoded> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.emplace(name, decode_jpeg(data_dir() / "textures" / name)).first;
    return it->second;
}

TEST(PictureFiles, are_colour_pictures_at_their_sizes)
{
    for (const char *name : kPictures) {
        SCOPED_TRACE(name);
        const Decoded &d = picture(name);
        ASSERT_TRUE(d.ok);
        // The colour loader reads three components even for the grey noise.
        EXPECT_EQ(d.components, 3);
        const int size = std::string(name) == "noise.jpg" ? 512 : 1024;
        EXPECT_EQ(d.width, size);
        EXPECT_EQ(d.height, size);
    }
}

TEST(PictureFiles, together_exercise_every_decoding_path)
{
    bool progressive = false, restarts = false;
    std::set<std::pair<int, int>> samplings;
    for (const char *name : kPictures) {
        const Decoded &d = picture(name);
        ASSERT_TRUE(d.ok) << name;
        progressive |= d.progressive;
        restarts |= d.restart_interval > 0;
        samplings.insert({d.luma_h, d.luma_v});
    }
    EXPECT_TRUE(progressive);
    EXPECT_TRUE(restarts);
    EXPECT_EQ(samplings, (std::set<std::pair<int, int>>{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));
}

TEST(PictureFiles, noise_is_grey_full_range_and_tiles_seamlessly)
{
    const Decoded &d = picture("noise.jpg");
    ASSERT_TRUE(d.ok);
    int lo = 255, hi = 0, colour = 0;
    double inner = 0, seam_x = 0, seam_y = 0;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const unsigned char *p = d.at(x, y);
            lo = std::min<int>(lo, p[0]), hi = std::max<int>(hi, p[0]);
            colour = std::max({colour, std::abs(p[0] - p[1]), std::abs(p[0] - p[2])});
            if (x + 1 < d.width)
                inner += std::abs(p[0] - d.at(x + 1, y)[0]);
        }
    for (int k = 0; k < d.width; ++k) {
        seam_x += std::abs(d.at(d.width - 1, k)[0] - d.at(0, k)[0]);
        seam_y += std::abs(d.at(k, d.height - 1)[0] - d.at(k, 0)[0]);
    }
    const double per_step = inner / (static_cast<double>(d.width - 1) * d.height);
    EXPECT_LE(colour, 3) << "the height image is grey";
    EXPECT_LT(lo, 40);
    EXPECT_GT(hi, 215);
    // Across the wrap the steps are like any other step inside the picture.
    EXPECT_LT(seam_x / d.height, 2 * per_step + 1);
    EXPECT_LT(seam_y / d.width, 2 * per_step + 1);
}

TEST(PictureFiles, letters_and_logo_are_white_on_black)
{
    for (const char *name : {"letters.jpg", "zvxr.jpg"}) {
        SCOPED_TRACE(name);
        const Decoded &d = picture(name);
        ASSERT_TRUE(d.ok);
        size_t dark = 0, bright = 0, tinted = 0;
        for (int y = 0; y < d.height; ++y)
            for (int x = 0; x < d.width; ++x) {
                const unsigned char *p = d.at(x, y);
                dark += p[0] < 16 && p[1] < 16 && p[2] < 16;
                bright += p[0] > 235 && p[1] > 235 && p[2] > 235;
                tinted += std::abs(p[0] - p[2]) > 24;
            }
        const double n = static_cast<double>(d.width) * d.height;
        EXPECT_GT(dark / n, 0.75);
        EXPECT_GT(bright / n, 0.02);
        EXPECT_LT(tinted / n, 0.001);
    }
    // The title sits in the middle band, the corners stay black.
    const Decoded &letters = picture("letters.jpg");
    EXPECT_GT(letters.at(512, 470)[0] + letters.at(300, 470)[0] + letters.at(700, 470)[0], 0);
    EXPECT_LT(letters.at(20, 20)[0], 8);
    EXPECT_LT(letters.at(1000, 1000)[0], 8);
}

TEST(PictureFiles, background_is_a_soft_field_from_blue_to_warm)
{
    const Decoded &d = picture("bg05t.jpg");
    ASSERT_TRUE(d.ok);
    int steepest = 0;
    size_t blue = 0, warm = 0;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const unsigned char *p = d.at(x, y);
            if (x + 1 < d.width)
                for (int c = 0; c < 3; ++c)
                    steepest = std::max(steepest, std::abs(p[c] - d.at(x + 1, y)[c]));
            blue += p[2] > p[0] + 40;
            warm += p[0] > p[2] + 60;
        }
    const double n = static_cast<double>(d.width) * d.height;
    EXPECT_LT(steepest, 24) << "no hard edges";
    EXPECT_GT(blue / n, 0.2);
    EXPECT_GT(warm / n, 0.15);
}

#ifdef JPEGDUMP_EXE
TEST(PictureFiles, the_shows_decoder_reads_them_like_libjpeg)
{
    content::TempDir dir;
    for (const char *name : kPictures) {
        SCOPED_TRACE(name);
        const auto out = dir.path() / (std::string(name) + ".ppm");
        ASSERT_EQ(
            content::run(JPEGDUMP_EXE, {(data_dir() / "textures" / name).string(), out.string()}).exit_code,
            0);
        const content::Ppm p = content::read_ppm(out);
        const Decoded &d = picture(name);
        ASSERT_TRUE(p.ok);
        ASSERT_EQ(p.width, d.width);
        ASSERT_EQ(p.height, d.height);
        // Upsampling and rounding differ between decoders; the pictures must not.
        double sum = 0;
        for (size_t i = 0; i < p.rgb.size(); ++i)
            sum += std::abs(p.rgb[i] - d.rgb[i]);
        EXPECT_LT(sum / static_cast<double>(p.rgb.size()), 2.0);
    }
}
#endif

} // namespace
