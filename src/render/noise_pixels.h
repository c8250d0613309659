// Noise pixel buffers for the random textures, drawn from the shared
// generator (runtime/generator.h). Plain functions: no GL, testable alone.
//
// The images follow from the generator's state and the call order, so a run
// that seeds (or does not seed) the generator the same way and creates the
// textures in the same order gets byte-identical images.
// Limits: a width or height <= 0 gives an empty buffer and draws no numbers.
#pragma once

#include <vector>

// width x height x 3 bytes, tightly packed, row y at byte (y * width) * 3.
// Filled column by column (x outer, y inner); each texel takes three
// successive random_next() values modulo 256 as red, green, blue.
std::vector<unsigned char> noise_pixels_rgb(int width, int height);

// width x height x 4 bytes in memory order, each random_next() modulo 255:
// the byte 255 never occurs.
std::vector<unsigned char> noise_pixels_rgba(int width, int height);
