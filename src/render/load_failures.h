// What the set-up could not load, one entry per file with the reason, as
// the user reads it ("textures/noise.jpg: not a JPEG file (empty)"). The
// loaders fill it; the program decides what a failure means for its run
// (the show goes on or ends as it always did, a still or an export stops
// before it writes anything).
// Depends on: nothing.
#pragma once

#include <string>
#include <vector>

struct LoadFailure {
    std::string file; // as the show names it, relative to the data folder
    std::string reason;
};

using LoadFailures = std::vector<LoadFailure>;

// "file: reason", the file's doubled slashes shown single.
std::string describe(const LoadFailure &failure);

// Why a file could not be opened or read: the system's word for errno
// (a folder says so), for the loaders' reasons.
std::string file_problem(const std::string &path, int error_number);
