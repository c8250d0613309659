// PNG files of RGB rows (stills, frame sequences). Depends on: libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// RGB rows, top row first. False (with the reason in `error`) when the file
// cannot be written.
bool write_png(const std::string &path, int width, int height, const std::vector<std::uint8_t> &rgb,
               std::string &error);
