// The one fixture of the whole-show tests (set-up, frames, loops, author
// mode): the show names every file relative to the working directory, so
// each test runs inside a data folder, the source tree's own or a scratch
// copy of it, and goes back to where it was when the test ends. A folder
// without the show's files fails the test with the names of those missing.
#pragma once

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

namespace whole_show
{
// The show's files that a whole-show test cannot do without.
inline constexpr const char *required_files[] = {
    "textures/noise.jpg",    "textures/letters.jpg", "textures/zvxr.jpg",    "textures/bg05t.jpg",
    "neomeshes/thecity.obj", "neomeshes/title.obj",  "neomeshes/vannel.obj", "neomeshes/leaves.obj",
};

inline std::filesystem::path source_data()
{
    return std::filesystem::path(VELLAMOR_SOURCE_DIR) / "data";
}

// The required files missing from `folder`, comma separated ("" when none).
inline std::string missing_files(const std::filesystem::path &folder)
{
    std::string missing;
    std::error_code ec;
    for (const char *file : required_files)
        if (!std::filesystem::exists(folder / file, ec))
            missing += std::string(missing.empty() ? "" : ", ") + file;
    return missing;
}

// The working directory set to `folder` while the object lives.
class WorkingFolder
{
  public:
    explicit WorkingFolder(const std::filesystem::path &folder) { std::filesystem::current_path(folder); }
    ~WorkingFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

  private:
    std::filesystem::path previous_ = std::filesystem::current_path();
};

// A data folder of the test's own in a scratch folder: `copied` folders of
// the show's data copied (the test may edit or remove their files), every
// other folder of it linked.
class ScratchData
{
  public:
    ScratchData(const std::string &name, std::initializer_list<const char *> copied) : scratch_(name)
    {
        namespace fs = std::filesystem;
        const fs::path source = source_data();
        for (const fs::directory_entry &entry : fs::directory_iterator(source)) {
            const std::string folder = entry.path().filename().string();
            bool copy = false;
            for (const char *c : copied)
                copy = copy || folder == c;
            if (copy)
                fs::copy(entry.path(), path() / folder, fs::copy_options::recursive);
            else if (entry.is_directory())
                fs::create_directory_symlink(entry.path(), path() / folder);
            else
                fs::create_symlink(entry.path(), path() / folder);
        }
    }
    const std::filesystem::path &path() const { return scratch_.path(); }
    std::filesystem::path operator/(const std::string &name) const { return scratch_ / name; }

  private:
    ScratchFolder scratch_;
};
} // namespace whole_show

// Every test of a whole-show suite starts inside the source tree's data
// folder; `enter` moves a test to another one, `enter_copy` to a scratch
// copy that goes with the test (call both in ASSERT_NO_FATAL_FAILURE).
class WholeShowTest : public ::testing::Test
{
  protected:
    void SetUp() override { enter(whole_show::source_data()); }
    void TearDown() override
    {
        working_.reset();
        copy_.reset();
    }

    void enter(const std::filesystem::path &folder)
    {
        const std::string missing = whole_show::missing_files(folder);
        ASSERT_TRUE(missing.empty()) << "the show's data is incomplete in " << folder << ": " << missing;
        working_.reset();
        working_.emplace(folder);
    }

    const whole_show::ScratchData &enter_copy(const std::string &name,
                                              std::initializer_list<const char *> copied)
    {
        working_.reset();
        copy_.emplace(name, copied);
        enter(copy_->path());
        return *copy_;
    }

  private:
    std::optional<whole_show::ScratchData> copy_; // outlives the working folder in it
    std::optional<whole_show::WorkingFolder> working_;
};
