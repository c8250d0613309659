// Which of the show's programs a changed shader file touches, for author
// mode's live reload. The show names its files with doubled slashes
// ("Materials//f_blurpass.cpp"); a watcher or an editor names them with
// single ones, so paths are compared in one spelling.
// Depends on: show/part_start_setup.h (the program table). Pure, no GL.
#pragma once

#include "show/part_start_setup.h"

#include <span>
#include <string>
#include <vector>

// One spelling of a data-relative path: separators as '/', runs of them
// collapsed, "./" parts dropped ("Materials//x.cpp" -> "Materials/x.cpp").
std::string normal_data_path(const std::string &path);

// The slots of the programs built from `changed_file` (vertex or fragment),
// in build order; empty for a file no program uses.
std::vector<int> programs_using(const std::string &changed_file, std::span<const ShowProgramFiles> programs);

// Every file the programs are built from, once each, in build order and
// in normal spelling: what the watcher looks at.
std::vector<std::string> shader_files_of(std::span<const ShowProgramFiles> programs);
