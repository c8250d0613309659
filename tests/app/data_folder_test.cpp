#include "app/data_folder.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

namespace fs = std::filesystem;

namespace
{
struct TempDir {
    ScratchFolder scratch{"data"};
    const fs::path path = scratch.path();
    void touch(const std::string &name) const
    {
        fs::create_directories((path / name).parent_path());
        std::ofstream(path / name) << "x";
    }
};
} // namespace

TEST(DataFolder, first_candidate_with_the_show_files_wins)
{
    TempDir empty, with_music, with_texture;
    with_music.touch("music/Orvel ft Mirel - Vellamor.mp3");
    with_texture.touch("textures/noise.jpg");
    EXPECT_FALSE(holds_show_files(empty.path));
    EXPECT_TRUE(holds_show_files(with_music.path));
    EXPECT_EQ(find_data_folder({empty.path, with_texture.path, with_music.path}), with_texture.path);
    EXPECT_EQ(find_data_folder({fs::path{}, empty.path / "nope", with_music.path}), with_music.path);
    EXPECT_FALSE(find_data_folder({empty.path}));
}

TEST(DataFolder, a_folder_named_like_a_file_does_not_count)
{
    TempDir d;
    fs::create_directories(d.path / "textures/noise.jpg");
    EXPECT_FALSE(holds_show_files(d.path));
}
