// A watch over a fixed list of files by polling: each poll compares every
// file's modification time, size and presence with the previous poll and
// names those that differ. Author mode polls the show's shader files once
// per frame (a couple of dozen stat calls), which catches an edit before
// the next frame on every platform without a notification API.
//
// An editor that saves by writing a new file and renaming it over the old
// one is seen as a change of the same path. A file that disappears counts
// as changed (its readers then report the missing file); one that comes
// back counts again.
// Depends on: std::filesystem. No GL, no SDL.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class FileWatch
{
  public:
    // Paths as given (relative ones against the working directory at each
    // poll); their state now is the starting point.
    explicit FileWatch(std::vector<std::string> paths);

    // The paths whose state differs from the previous poll, in list order.
    std::vector<std::string> poll();

    struct Stamp {
        bool exists = false;
        std::filesystem::file_time_type modified{};
        std::uintmax_t size = 0;
        bool operator==(const Stamp &) const = default;
    };

  private:
    std::vector<std::string> paths_;
    std::vector<Stamp> stamps_;
};
