// Pixel work of the texture loaders, with no GL: decoded JPEG lines to
// tightly packed 8-bit RGB rows (greyscale expanded), row flipping for GL's
// bottom-first order, and the Sobel normal map of a height image.
//
// Depends on: assets/jpeg (the decoder whose lines it reads).
// Limits: images up to the decoder's 8192 x 8192.
#pragma once

#include <cstdint>
#include <vector>

class jpeg_image_decoder;

// Copies `width` pixels of a decoded line to RGB: colour lines carry 4 bytes
// per pixel (R, G, B, unused), greyscale lines 1 byte, copied to all three.
void line_to_rgb(const std::uint8_t *line, int bytes_per_pixel, int width, std::uint8_t *rgb_row);

// Reads every line of a started decoder into rgb (width x height x 3 bytes).
// bottom_first puts the decoder's first (top) line into the last row, the
// order GL expects. Returns false if the decoder fails part-way.
bool read_rgb_image(jpeg_image_decoder &decoder, bool bottom_first, std::vector<std::uint8_t> &rgb);

// Reverses the order of the rows of a packed RGB image in place.
void flip_rows(std::vector<std::uint8_t> &rgb, int width, int height);

// Normal map from the red channel of a packed RGB height image; rows top
// first in and out. Heights are red / 255; neighbours wrap around at every
// edge. Sobel gradients gx (right minus left) and gy (up minus down) give
// the normal (-gx, -gy, 1) / length, stored as trunc((n + 1) * 0.5 * 255).
// Everything is computed in 32-bit floats, so a flat image is exactly
// (127, 127, 255).
std::vector<std::uint8_t> normal_map_from_heights(const std::uint8_t *rgb, int width, int height);
