// The still renderer's output: the PNG that --still writes holds exactly the
// frame the offline show reads back for that time, row for row, in RGB.
#include "app/still.h"
#include "support/whole_show.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb; // top row first
};

// Decodes an 8-bit RGB PNG with libpng; empty on any failure.
Picture read_png(const fs::path &path)
{
    Picture p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
        return p;
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0)
        return p;
    p.width = static_cast<int>(image.width);
    p.height = static_cast<int>(image.height);
    p.rgb = std::move(rgb);
    return p;
}

using StillOutput = WholeShowTest;
} // namespace

TEST_F(StillOutput, the_png_holds_the_frame_the_offline_show_reads_back)
{
    const ScratchFolder scratch("still");
    const fs::path out = scratch / "still.png";
    const std::string command =
        "\"" VELLAMOR_PROGRAM "\" --still 60 --mode 160x90 --out \"" + out.string() + "\" > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const Picture written = read_png(out);
    ASSERT_EQ(written.width, 160);
    ASSERT_EQ(written.height, 90);

    std::vector<std::uint8_t> drawn;
    ASSERT_TRUE(run_offline_show(160, 90, [&](OfflineShow &show) {
        show.draw_at(60.0);
        drawn = show.read_frame();
    }));
    ASSERT_EQ(drawn.size(), written.rgb.size());
    EXPECT_TRUE(drawn == written.rgb) << "the file is not the frame";
    // A lit frame with structure: a flipped or swapped picture would differ.
    EXPECT_NE(std::vector<std::uint8_t>(drawn.begin(), drawn.begin() + 160 * 3),
              std::vector<std::uint8_t>(drawn.end() - 160 * 3, drawn.end()));
}
