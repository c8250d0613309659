// Outputs that appear only when whole: a file is written under a temporary
// name beside its own (NAME.part) and renamed over NAME once complete, so
// an existing NAME is replaced only by a finished file and a failed or
// killed write never leaves a damaged NAME. Names that are not plain files
// (a device such as /dev/full, a symbolic link) are written in place, as
// renaming over them would replace the device or the link itself.
// Depends on: POSIX (lstat, rename).
#pragma once

#include <string>

// Where to write `out`: out + ".part", or `out` itself (see above).
std::string staging_path(const std::string &out);

// Renames `staging` over `out` (nothing to do when they are the same).
// False with "cannot replace OUT: reason" in `error`; `staging` stays.
bool commit_staged(const std::string &staging, const std::string &out, std::string &error);
