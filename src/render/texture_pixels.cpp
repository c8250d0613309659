// Pixel work of the texture loaders: RGB extraction, row flipping, normal
// maps. Plain functions over buffers, tested without GL.
#include "render/texture_pixels.h"

#include "assets/jpeg/jpeg_image_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

void line_to_rgb(const std::uint8_t *line, int bytes_per_pixel, int width, std::uint8_t *rgb_row)
{
    if (bytes_per_pixel == 1) {
        for (int x = 0; x < width; ++x)
            rgb_row[3 * x] = rgb_row[3 * x + 1] = rgb_row[3 * x + 2] = line[x];
        return;
    }
    for (int x = 0; x < width; ++x) {
        rgb_row[3 * x] = line[bytes_per_pixel * x];
        rgb_row[3 * x + 1] = line[bytes_per_pixel * x + 1];
        rgb_row[3 * x + 2] = line[bytes_per_pixel * x + 2];
    }
}

bool read_rgb_image(jpeg_image_decoder &decoder, bool bottom_first, std::vector<std::uint8_t> &rgb)
{
    const int width = decoder.width();
    const int height = decoder.height();
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    rgb.assign(row_bytes * static_cast<std::size_t>(height), 0);
    for (int line = 0; line < height; ++line) {
        const std::uint8_t *pixels = nullptr;
        int count = 0;
        if (decoder.next_line(pixels, count) != 0 || count < width * decoder.bytes_per_pixel())
            return false;
        const int row = bottom_first ? height - 1 - line : line;
        line_to_rgb(pixels, decoder.bytes_per_pixel(), width,
                    rgb.data() + row_bytes * static_cast<std::size_t>(row));
    }
    return true;
}

void flip_rows(std::vector<std::uint8_t> &rgb, int width, int height)
{
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rgb.begin() + static_cast<std::ptrdiff_t>(row_bytes * top),
                         rgb.begin() + static_cast<std::ptrdiff_t>(row_bytes * (top + 1)),
                         rgb.begin() + static_cast<std::ptrdiff_t>(row_bytes * bottom));
}

std::vector<std::uint8_t> normal_map_from_heights(const std::uint8_t *rgb, int width, int height)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height * 3);
    auto h = [&](int x, int y) {
        x = (x + width) % width;
        y = (y + height) % height;
        return static_cast<float>(rgb[(static_cast<std::size_t>(y) * width + x) * 3]) / 255.0f;
    };
    auto to_byte = [](float n) {
        return static_cast<std::uint8_t>(static_cast<int>((n + 1.0f) * 0.5f * 255.0f));
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float gx = (h(x + 1, y - 1) + 2.0f * h(x + 1, y) + h(x + 1, y + 1)) -
                             (h(x - 1, y - 1) + 2.0f * h(x - 1, y) + h(x - 1, y + 1));
            const float gy = (h(x - 1, y - 1) + 2.0f * h(x, y - 1) + h(x + 1, y - 1)) -
                             (h(x - 1, y + 1) + 2.0f * h(x, y + 1) + h(x + 1, y + 1));
            const float nx = -gx;
            const float ny = -gy;
            const float s = 1.0f / std::sqrt(1.0f + nx * nx + ny * ny);
            std::uint8_t *p = out.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            p[0] = to_byte(nx * s);
            p[1] = to_byte(ny * s);
            p[2] = to_byte(s);
        }
    return out;
}
