// A scratch folder of the test process: made empty under the temporary
// directory with a unique name ("vellamor-NAME-XXXXXX"), removed with
// everything in it when the object goes. Tests that write files put them
// here, so a test run leaves nothing behind in the temporary directory. A
// child forked from the test leaves it to the process that made it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include <unistd.h>

class ScratchFolder
{
  public:
    explicit ScratchFolder(const std::string &name)
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("vellamor-" + name + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a scratch folder for " + name);
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        if (::getpid() != owner_)
            return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::filesystem::path &path() const { return path_; }
    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
    pid_t owner_ = ::getpid();
};
