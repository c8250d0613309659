// The texture loaders' failure paths: each ends the process with exit code
// 0 after a message naming the file, before any GL call (so no context is
// needed here). The progress report comes first for colour loads.
#include "render/render_targets.h"

#include "jpeg_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace
{

std::string write_file(const std::string &name, const bytes &content)
{
    const std::string path = std::string(VELLAMOR_BINARY_DIR) + "/tests/jpeg/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(content.data()), static_cast<std::streamsize>(content.size()));
    return path;
}

void report_progress(double step)
{
    std::fprintf(stderr, "progress %.1f\n", step);
}

} // namespace

TEST(TextureLoadingDeathTest, missing_colour_file_says_jpg_and_exits_0_after_progress)
{
    RenderTargets targets;
    targets.progress_callback = report_progress;
    EXPECT_EXIT(targets.load_texture(TextureNumber{3}, "textures/none.jpg"), ::testing::ExitedWithCode(0),
                "progress 0\\.1[^J]*Jpg: textures/none\\.jpg");
}

TEST(TextureLoadingDeathTest, folder_as_colour_file_says_jpg_like_a_missing_file)
{
    RenderTargets targets;
    const std::string folder = std::string(VELLAMOR_BINARY_DIR) + "/tests/jpeg";
    EXPECT_EXIT(targets.load_texture(TextureNumber{3}, folder), ::testing::ExitedWithCode(0),
                "Jpg: .*tests/jpeg\n");
}

TEST(TextureLoadingDeathTest, missing_height_file_says_jpg_bang_without_progress)
{
    RenderTargets targets;
    targets.progress_callback = report_progress;
    EXPECT_EXIT(targets.load_normal_map_texture(TextureNumber{3}, "textures/none.jpg"),
                ::testing::ExitedWithCode(0), "^textures/none\\.jpg: missing\nJpg !: textures/none\\.jpg");
}

TEST(TextureLoadingDeathTest, undecodable_files_say_jpg_bang)
{
    RenderTargets targets;
    const std::string junk = write_file("junk.jpg", bytes(100, 0x41));
    EXPECT_EXIT(targets.load_texture(TextureNumber{3}, junk), ::testing::ExitedWithCode(0),
                "Jpg !: .*junk\\.jpg");
    EXPECT_EXIT(targets.load_normal_map_texture(TextureNumber{3}, junk), ::testing::ExitedWithCode(0),
                "Jpg !: .*junk\\.jpg");

    // Headers fine, scan broken: treated the same, never a half-decoded texture.
    encode_options o;
    o.width = 32;
    o.height = 32;
    o.restart_interval = 1;
    bytes jpeg = encode_libjpeg(make_picture("photo", 32, 32, 3, 1), o);
    for (std::size_t i = jpeg.size() / 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xD0 && jpeg[i + 1] <= 0xD7) {
            jpeg[i + 1] = static_cast<std::uint8_t>(0xD0 + ((jpeg[i + 1] - 0xD0 + 3) & 7));
            break;
        }
    const std::string broken = write_file("broken_scan.jpg", jpeg);
    EXPECT_EXIT(targets.load_texture(TextureNumber{3}, broken), ::testing::ExitedWithCode(0),
                "Jpg !: .*broken_scan\\.jpg");
    o.restart_interval = 0;
    o.cmyk = true;
    o.components = 4;
    const std::string cmyk = write_file("cmyk.jpg", encode_libjpeg(make_picture("photo", 32, 32, 4, 1), o));
    EXPECT_EXIT(targets.load_normal_map_texture(TextureNumber{3}, cmyk), ::testing::ExitedWithCode(0),
                "Jpg !: .*cmyk\\.jpg");
}

// Release builds drop asserts: a number outside the TextureTable must still
// be refused before the file is read (a negative one would overwrite the
// progress callback). The child says "refused" and exits 7 only when the
// loader returned instead of reporting progress or exiting for the file.
TEST(TextureLoadingDeathTest, numbers_outside_the_table_are_refused_before_reading)
{
    RenderTargets targets;
    targets.progress_callback = report_progress;
    for (int number : {-2, -1, 10000}) {
        EXPECT_EXIT(
            {
                targets.load_texture(TextureNumber{number}, "textures/none.jpg");
                targets.load_normal_map_texture(TextureNumber{number}, "textures/none.jpg");
                std::fprintf(stderr, "refused\n");
                std::exit(targets.progress_callback == report_progress ? 7 : 8);
            },
            ::testing::ExitedWithCode(7), "^Texture number -?[0-9]+ is out of range.\n.*refused")
            << number;
    }
}

// Stills and exports: nothing ends the process; each file is listed with
// what is wrong with it, in the user's words, and no GL call is made for it.
TEST(TextureLoading, without_fatal_pictures_each_bad_file_is_listed_with_its_reason)
{
    RenderTargets targets;
    targets.pictures_are_fatal = false;
    encode_options o;
    o.width = 32;
    o.height = 32;
    const bytes good = encode_libjpeg(make_picture("photo", 32, 32, 3, 1), o);
    bytes huge = good;
    for (std::size_t i = 0; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && (huge[i + 1] == 0xC0 || huge[i + 1] == 0xC2)) {
            huge[i + 5] = huge[i + 7] = 0xEA; // 60000 x 60000
            huge[i + 6] = huge[i + 8] = 0x60;
            break;
        }
    const std::string empty = write_file("empty.jpg", {});
    const std::string cut = write_file("cut.jpg", bytes(good.begin(), good.begin() + good.size() * 2 / 3));
    const std::string large = write_file("huge.jpg", huge);
    const std::string junk = write_file("junk.jpg", bytes(100, 0x41));
    const std::string folder = std::string(VELLAMOR_BINARY_DIR) + "/tests/jpeg";
    targets.load_texture(TextureNumber{3}, "textures/none.jpg");
    targets.load_texture(TextureNumber{3}, folder);
    targets.load_normal_map_texture(TextureNumber{3}, empty);
    targets.load_texture(TextureNumber{3}, cut);
    targets.load_texture(TextureNumber{3}, large);
    targets.load_normal_map_texture(TextureNumber{3}, junk);

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"textures/none.jpg", "missing"},
        {folder, "is a folder, not a file"},
        {empty, "not a JPEG file (empty)"},
        {cut, "damaged JPEG data (cut short: it ends before its end marker)"},
        {large, "not a picture this program loads (width and height must be 1 to 8192 pixels)"},
        {junk, "not a JPEG file"},
    };
    ASSERT_EQ(targets.load_failures.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(targets.load_failures[i].file, expected[i].first);
        EXPECT_EQ(targets.load_failures[i].reason, expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(describe({"textures//noise.jpg", "missing"}), "textures/noise.jpg: missing");
    EXPECT_EQ(targets.textures[TextureNumber{3}], 0u) << "nothing uploaded";
}

// The show: the same line on standard error, then its message box and exit 0.
TEST(TextureLoadingDeathTest, the_show_names_the_reason_before_its_message)
{
    RenderTargets targets;
    const std::string empty = write_file("empty.jpg", {});
    EXPECT_EXIT(targets.load_normal_map_texture(TextureNumber{3}, empty), ::testing::ExitedWithCode(0),
                "empty\\.jpg: not a JPEG file \\(empty\\)\nJpg !: .*empty\\.jpg");
}
