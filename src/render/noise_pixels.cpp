// Noise pixel buffers from the shared generator. See noise_pixels.h.
#include "render/noise_pixels.h"

#include "runtime/generator.h"

#include <cstddef>

namespace
{

bool empty_size(int width, int height)
{
    return width <= 0 || height <= 0;
}

} // namespace

std::vector<unsigned char> noise_pixels_rgb(int width, int height)
{
    if (empty_size(width, height)) {
        return {};
    }
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    std::vector<unsigned char> pixels(w * h * 3);
    // Columns outside, rows inside: the call order fixes the image.
    for (std::size_t x = 0; x < w; ++x) {
        for (std::size_t y = 0; y < h; ++y) {
            unsigned char *texel = &pixels[(y * w + x) * 3];
            texel[0] = static_cast<unsigned char>(random_next() % 256);
            texel[1] = static_cast<unsigned char>(random_next() % 256);
            texel[2] = static_cast<unsigned char>(random_next() % 256);
        }
    }
    return pixels;
}

std::vector<unsigned char> noise_pixels_rgba(int width, int height)
{
    if (empty_size(width, height)) {
        return {};
    }
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (unsigned char &byte : pixels) {
        byte = static_cast<unsigned char>(random_next() % 255);
    }
    return pixels;
}
