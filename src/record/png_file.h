// PNG files of RGB rows (stills, frame sequences). Depends on: libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// RGB rows, top row first, written to PATH.part and renamed to PATH once
// whole. False (with the reason in `error`) when the file cannot be
// written; PATH is then as it was and PATH.part is gone.
bool write_png(const std::string &path, int width, int height, const std::vector<std::uint8_t> &rgb,
               std::string &error);
