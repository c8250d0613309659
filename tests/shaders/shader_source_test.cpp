// Reading shader sources: binary, whole, NUL-terminated; no GL needed.
#include "render/shader_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace
{

fs::path scratch(const std::string &name)
{
    fs::path dir = fs::path(VELLAMOR_BINARY_DIR) / "test-scratch" / "shader-sources";
    fs::create_directories(dir);
    return dir / name;
}

std::string write_file(const std::string &name, const std::string &bytes)
{
    fs::path path = scratch(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

} // namespace

TEST(ShaderSource, crlf_and_embedded_bytes_reach_the_text_unchanged_and_terminated)
{
    const std::string bytes = "void main()\r\n{\r\n}\r\n\x01\xff";
    auto text = ShaderProgram::read_shader_source(write_file("crlf.cpp", bytes));
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->size(), bytes.size() + 1);
    EXPECT_EQ(std::string(text->data(), bytes.size()), bytes);
    EXPECT_EQ(text->back(), '\0');
}

TEST(ShaderSource, empty_file_gives_a_single_nul)
{
    auto text = ShaderProgram::read_shader_source(write_file("empty.cpp", ""));
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->size(), 1u);
    EXPECT_EQ((*text)[0], '\0');
}

TEST(ShaderSource, missing_file_gives_nothing_and_says_so)
{
    testing::internal::CaptureStdout();
    auto text = ShaderProgram::read_shader_source(scratch("absent.cpp").string());
    EXPECT_FALSE(text.has_value());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot open shader source file.\n");
}

TEST(ShaderSource, directory_is_reported_and_reads_as_empty_text)
{
    // Opening a directory succeeds on Linux, reading it fails: the failure
    // is printed and an empty, terminated text comes back instead of garbage.
    const fs::path dir = scratch("a_directory.cpp");
    fs::create_directories(dir);
    testing::internal::CaptureStdout();
    auto text = ShaderProgram::read_shader_source(dir.string());
    const std::string out = testing::internal::GetCapturedStdout();
    if (!text.has_value()) {
        EXPECT_EQ(out, "Cannot open shader source file.\n");
        return;
    }
    EXPECT_FALSE(out.empty()) << "a read failure must be described";
    EXPECT_EQ(text->back(), '\0');
    EXPECT_EQ(std::string(text->data()), "");
}

// What the set-up tells the user about a file it cannot use as GLSL text.
TEST(ShaderSource, each_unusable_file_gets_its_reason_and_a_good_one_none)
{
    const fs::path folder = scratch("folder.cpp");
    fs::create_directories(folder);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {scratch("absent.cpp").string(), "missing"},
        {folder.string(), "is a folder, not a file"},
        {write_file("empty.cpp", ""), "is empty"},
        {write_file("binary.cpp", std::string("\x7f"
                                              "ELF\0\0\x01",
                                              7)),
         "is not a text file (it holds NUL bytes)"},
        {write_file("good.cpp", "void main() {}\n"), ""},
    };
    testing::internal::CaptureStdout();
    for (const auto &[path, reason] : cases) {
        std::string problem;
        ShaderProgram::read_shader_source(path, &problem);
        EXPECT_EQ(problem, reason) << path;
    }
    testing::internal::GetCapturedStdout();
}
