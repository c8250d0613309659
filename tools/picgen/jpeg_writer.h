// Writes a Picture as a colour JPEG with libjpeg-turbo.
//
// The options choose the coding paths the show's decoder must handle:
// baseline or progressive, chroma sampling, restart markers.
// Depends on: picture.h, libjpeg. Limits: 8-bit YCbCr only (the show's
// colour loader expects three components, even for grey content).
#pragma once

#include <string>

#include "picture.h"

namespace picgen
{

struct JpegOptions {
    int quality = 90;
    bool progressive = false;
    int luma_h = 2, luma_v = 2; // chroma sampling: luma factors, chroma 1x1
    int restart_rows = 0;       // restart marker every N MCU rows (0: none)
    bool optimize = false;      // optimal Huffman tables
};

// Returns false with a message in `error` when the file cannot be written.
bool write_jpeg(const std::string &path, const Picture &picture, const JpegOptions &options,
                std::string &error);

} // namespace picgen
