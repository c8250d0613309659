// Finding the show's files. Every file name of the show is relative to the
// working directory, so the program finds its data folder and makes it the
// working directory before anything loads.
// Depends on: std::filesystem; /proc/self/exe for the executable's folder.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

// True when `dir` holds at least one of the show's required files (the
// soundtrack or a picture the set-up loads).
bool holds_show_files(const std::filesystem::path &dir);

// The first candidate that holds the show's files.
std::optional<std::filesystem::path> find_data_folder(const std::vector<std::filesystem::path> &candidates);

// The folder of the running executable (empty when unknown).
std::filesystem::path executable_folder();
