// The committed meshes and pictures are exactly what the generators make:
// regenerating them into a temporary folder gives the same bytes, so
// anyone can change a generator and know what moved.
#include <gtest/gtest.h>

#include <filesystem>

#include "content_support.h"

namespace
{

using content::data_dir;
using content::read_file;
using content::run;
using content::TempDir;

void expect_same_files(const std::filesystem::path &made, const std::filesystem::path &committed,
                       std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        const std::string a = read_file(made / name), b = read_file(committed / name);
        ASSERT_FALSE(b.empty()) << "committed file missing: " << (committed / name);
        ASSERT_FALSE(a.empty()) << "generator did not write " << name;
        EXPECT_EQ(a.size(), b.size()) << name;
        EXPECT_TRUE(a == b) << name << " differs from the committed file: rerun the generator and commit";
    }
}

TEST(ContentRegeneration, mesh_generator_rebuilds_the_committed_meshes_byte_for_byte)
{
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    ASSERT_EQ(run(MESHGEN_EXE, {dir.path().string()}).exit_code, 0);
    expect_same_files(dir.path(), data_dir() / "neomeshes",
                      {"thecity.obj", "vannel.obj", "leaves.obj", "title.obj"});
}

TEST(ContentRegeneration, picture_generator_rebuilds_the_committed_pictures_byte_for_byte)
{
    if (!std::filesystem::exists("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"))
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    TempDir dir;
    ASSERT_EQ(run(PICGEN_EXE, {dir.path().string()}).exit_code, 0);
    expect_same_files(dir.path(), data_dir() / "textures",
                      {"bg05t.jpg", "letters.jpg", "zvxr.jpg", "noise.jpg"});
}

TEST(ContentRegeneration, the_seed_changes_the_city_and_only_the_seed)
{
    TempDir a, b;
    ASSERT_EQ(run(MESHGEN_EXE, {a.path().string(), "--seed", "9", "--only", "city"}).exit_code, 0);
    ASSERT_EQ(run(MESHGEN_EXE, {b.path().string(), "--seed", "9", "--only", "city"}).exit_code, 0);
    const std::string first = read_file(a.path() / "thecity.obj");
    EXPECT_EQ(first, read_file(b.path() / "thecity.obj"));
    EXPECT_NE(first, read_file(data_dir() / "neomeshes" / "thecity.obj"));
    EXPECT_FALSE(std::filesystem::exists(a.path() / "vannel.obj")) << "--only wrote other meshes";
}

TEST(ContentRegeneration, generators_report_bad_arguments_and_unwritable_folders)
{
    TempDir dir;
    EXPECT_EQ(run(MESHGEN_EXE, {}).exit_code, 1);
    EXPECT_EQ(run(MESHGEN_EXE, {dir.path().string(), "--seed", "x"}).exit_code, 1);
    EXPECT_EQ(run(MESHGEN_EXE, {dir.path().string(), "--only", "teapot"}).exit_code, 1);
    EXPECT_EQ(run(MESHGEN_EXE, {(dir.path() / "missing").string(), "--only", "title"}).exit_code, 2);
    EXPECT_EQ(run(PICGEN_EXE, {dir.path().string(), "--only", "sky"}).exit_code, 1);
    EXPECT_EQ(run(PICGEN_EXE, {(dir.path() / "missing").string(), "--only", "noise"}).exit_code, 2);
    EXPECT_EQ(run(PICGEN_EXE, {dir.path().string(), "--font", (dir.path() / "none.ttf").string()}).exit_code,
              3);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

} // namespace
