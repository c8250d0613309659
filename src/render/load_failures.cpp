#include "render/load_failures.h"

#include <sys/stat.h>

#include <cstring>

std::string describe(const LoadFailure &failure)
{
    std::string name;
    for (char c : failure.file)
        if (c != '/' || name.empty() || name.back() != '/')
            name += c;
    return name + ": " + failure.reason;
}

std::string file_problem(const std::string &path, int error_number)
{
    struct stat info {
    };
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return "is a folder, not a file";
    if (error_number == ENOENT)
        return "missing";
    return std::string("cannot be read: ") + std::strerror(error_number != 0 ? error_number : EIO);
}
