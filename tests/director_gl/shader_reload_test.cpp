// Live shader reload against the real show, drawn offline at 160 x 90: an
// edit of the final pass's file changes the next frame, a broken edit keeps
// the last good picture and reports the compiler's log, and the original
// text brings the show's own picture back. The edits go to a scratch copy
// of the shader folders; the pictures, meshes and music are linked in.
#include "app/still.h"
#include "show/part_start.h"
#include "show/part_start_setup.h"
#include "show/shader_reload.h"
#include "support/whole_show.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace
{
constexpr int width = 160;
constexpr int height = 90;
const char *const edited = "PostProcessing/f_blurpass.cpp";

// Writes the file and moves its time on by a second per edit, so edits
// within one tick of a coarse file clock are still seen.
void edit(const std::string &file, const std::string &text)
{
    static int edits = 0;
    const auto before = fs::last_write_time(file);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    fs::last_write_time(file, before + std::chrono::seconds(++edits));
}

std::string read(const std::string &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Share of pixels that are pure red (the edited pass's colour).
double red_share(const std::vector<std::uint8_t> &rgb)
{
    int red = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        red += rgb[i] == 255 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
    return static_cast<double>(red) / static_cast<double>(rgb.size() / 3);
}
// The edits go to a copy of the shader folders.
using ShaderReloadGl = WholeShowTest;
} // namespace

TEST_F(ShaderReloadGl, an_edit_shows_next_frame_and_a_broken_one_keeps_the_last_picture)
{
    ASSERT_NO_FATAL_FAILURE(enter_copy("reload", {"Materials", "PostProcessing"}));
    ASSERT_TRUE(run_offline_show(width, height, [](OfflineShow &show) {
        ShaderReload reload(show.show.shaders, show_program_files);
        const std::string original = read(edited);
        ASSERT_FALSE(original.empty());

        show.draw_at(60.0);
        const auto before = show.read_frame();
        EXPECT_LT(red_share(before), 0.01);
        EXPECT_TRUE(reload.poll().empty()) << "nothing was edited yet";

        edit(edited, "#version 120\nvoid main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n");
        auto reports = reload.poll();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(reports[0].ok) << reports[0].log;
        EXPECT_EQ(reports[0].slots, std::vector<int>{4});
        show.draw_at(60.0);
        const auto red = show.read_frame();
        EXPECT_GT(red_share(red), 0.99) << "the edited pass draws the whole picture";

        edit(edited, "#version 120\nvoid main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0) }\n");
        reports = reload.poll();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_FALSE(reports[0].ok);
        EXPECT_NE(reports[0].log.find(edited), std::string::npos) << reports[0].log;
        EXPECT_GT(reports[0].log.size(), std::string(edited).size() + 4) << "the compiler's own words follow";
        EXPECT_EQ(reload.current_errors(), reports[0].log);
        const std::string text = reload_report_text(reports[0]);
        EXPECT_EQ(text.rfind("shader error in PostProcessing/f_blurpass.cpp: program 4 keeps", 0), 0u)
            << text;
        show.draw_at(60.0);
        EXPECT_EQ(show.read_frame(), red) << "the last good program still draws";

        edit(edited, original);
        reports = reload.poll();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(reports[0].ok) << reports[0].log;
        EXPECT_TRUE(reload.current_errors().empty());
        show.draw_at(60.0);
        EXPECT_EQ(show.read_frame(), before) << "the original text gives the show's own frame back";
    }));
}
