#include "runtime/file_watch.h"

#include <system_error>

namespace
{
FileWatch::Stamp stamp_of(const std::string &path)
{
    // Every query takes an error code: a file that vanishes between two
    // calls must read as missing, never throw out of the frame loop.
    std::error_code ec;
    FileWatch::Stamp s;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::is_regular_file(status))
        return s;
    s.modified = std::filesystem::last_write_time(path, ec);
    if (ec)
        return FileWatch::Stamp{};
    s.size = std::filesystem::file_size(path, ec);
    if (ec)
        return FileWatch::Stamp{};
    s.exists = true;
    return s;
}
} // namespace

FileWatch::FileWatch(std::vector<std::string> paths) : paths_(std::move(paths))
{
    stamps_.reserve(paths_.size());
    for (const std::string &p : paths_)
        stamps_.push_back(stamp_of(p));
}

std::vector<std::string> FileWatch::poll()
{
    std::vector<std::string> changed;
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        Stamp now = stamp_of(paths_[i]);
        if (now != stamps_[i]) {
            stamps_[i] = now;
            changed.push_back(paths_[i]);
        }
    }
    return changed;
}
