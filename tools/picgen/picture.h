// A picture being painted: three float planes in 0..1, sRGB values.
//
// Depends on: nothing. Limits: plain arrays, no colour management; values
// are clamped when the picture is written.
#pragma once

#include <cstddef>
#include <vector>

namespace picgen
{

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;

    Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
    Rgb &at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgb &at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A coverage mask (0..1) the size of a picture, for text and rings.
struct Mask {
    int width = 0, height = 0;
    std::vector<float> alpha;

    Mask(int w, int h) : width(w), height(h), alpha(static_cast<size_t>(w) * h) {}
    float &at(int x, int y) { return alpha[static_cast<size_t>(y) * width + x]; }
    float at(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
};

} // namespace picgen
