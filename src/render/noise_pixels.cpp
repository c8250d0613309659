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
    // The values in the order they are drawn: columns outside, rows inside.
    std::vector<unsigned char> drawn(w * h * 3);
    random_fill_bytes(drawn.data(), drawn.size(), 256);
    std::vector<unsigned char> pixels(w * h * 3);
    const unsigned char *next = drawn.data();
    for (std::size_t x = 0; x < w; ++x) {
        for (std::size_t y = 0; y < h; ++y, next += 3) {
            unsigned char *texel = &pixels[(y * w + x) * 3];
            texel[0] = next[0];
            texel[1] = next[1];
            texel[2] = next[2];
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
    random_fill_bytes(pixels.data(), pixels.size(), 255);
    return pixels;
}
