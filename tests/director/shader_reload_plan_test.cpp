#include "show/resources.h"
#include "show/shader_reload_plan.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(ShaderReloadPlan, a_changed_file_rebuilds_exactly_the_programs_built_from_it)
{
    // Named by the watcher or an editor with single slashes.
    EXPECT_EQ(programs_using("Materials/f_billboards.cpp", show_program_files),
              std::vector<int>{program::billboards.value});
    EXPECT_EQ(programs_using("Materials/v_billboards2n.cpp", show_program_files),
              std::vector<int>{program::billboards_insect.value});
    EXPECT_EQ(programs_using("PostProcessing/f_blurpass.cpp", show_program_files),
              std::vector<int>{program::blur.value});
    EXPECT_EQ(programs_using("./PostProcessing//v_velocities.cpp", show_program_files),
              std::vector<int>{program::velocities.value});
    // Files no program reads, and near misses, touch nothing.
    EXPECT_TRUE(programs_using("Materials/f_unused.cpp", show_program_files).empty());
    EXPECT_TRUE(programs_using("Materials/f_billboards.cpp.swp", show_program_files).empty());
    EXPECT_TRUE(programs_using("f_billboards.cpp", show_program_files).empty());
}

TEST(ShaderReloadPlan, a_file_shared_by_two_programs_rebuilds_both_once_each)
{
    const ShowProgramFiles shared[] = {
        {ProgramSlot{1}, "Materials//v_common.cpp", "Materials//f_one.cpp"},
        {ProgramSlot{2}, "Materials//v_common.cpp", "Materials//f_two.cpp"},
        {ProgramSlot{1}, "Materials//v_common.cpp", "Materials//f_one.cpp"}, // a slot built twice counts once
    };
    EXPECT_EQ(programs_using("Materials/v_common.cpp", shared), (std::vector<int>{1, 2}));
    EXPECT_EQ(
        shader_files_of(shared),
        (std::vector<std::string>{"Materials/v_common.cpp", "Materials/f_one.cpp", "Materials/f_two.cpp"}));
}

TEST(ShaderReloadPlan, the_watch_covers_every_shader_file_of_the_show)
{
    const auto files = shader_files_of(show_program_files);
    std::size_t in_data = 0;
    for (const char *folder : {"Materials", "PostProcessing"})
        for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(
                 std::filesystem::path(VELLAMOR_SOURCE_DIR) / "data" / folder))
            ++in_data;
    EXPECT_EQ(files.size(), in_data);
    for (const std::string &f : files) {
        EXPECT_TRUE(f.rfind("Materials/", 0) == 0 || f.rfind("PostProcessing/", 0) == 0) << f;
        EXPECT_FALSE(programs_using(f, show_program_files).empty()) << f;
    }
}

TEST(ShaderReloadPlan, paths_compare_in_one_spelling)
{
    EXPECT_EQ(normal_data_path("Materials//f_x.cpp"), "Materials/f_x.cpp");
    EXPECT_EQ(normal_data_path("./Materials\\f_x.cpp"), "Materials/f_x.cpp");
    EXPECT_EQ(normal_data_path("/abs//path/"), "/abs/path");
    EXPECT_EQ(normal_data_path(""), "");
}
