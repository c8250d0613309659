#include "record/staged_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string staging_path(const std::string &out)
{
    struct stat info {
    };
    if (::lstat(out.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return out;
    return out + ".part";
}

bool commit_staged(const std::string &staging, const std::string &out, std::string &error)
{
    if (staging == out || std::rename(staging.c_str(), out.c_str()) == 0)
        return true;
    error = "cannot replace " + out + ": " + std::strerror(errno);
    return false;
}
