// Painting the four pictures.
// Depends on: pictures.h, noise.h.
#include "pictures.h"

#include <algorithm>
#include <cmath>

#include "noise.h"

namespace picgen
{
namespace
{

constexpr int kLarge = 1 << 24; // a period so long that the noise never wraps

Rgb palette(float t)
{
    struct Stop {
        float at;
        Rgb colour;
    };
    static const Stop stops[] = {
        {0.00f, {0.03f, 0.05f, 0.17f}}, // deep blue
        {0.24f, {0.05f, 0.17f, 0.38f}}, // blue
        {0.44f, {0.06f, 0.40f, 0.45f}}, // teal
        {0.60f, {0.42f, 0.47f, 0.42f}}, // the grey-green meeting of teal and amber
        {0.77f, {0.91f, 0.62f, 0.26f}}, // amber
        {1.00f, {0.85f, 0.37f, 0.47f}}, // rose
    };
    t = std::clamp(t, 0.0f, 1.0f);
    for (size_t i = 0; i + 1 < std::size(stops); ++i) {
        if (t <= stops[i + 1].at) {
            const float k = (t - stops[i].at) / (stops[i + 1].at - stops[i].at);
            const float s = k * k * (3 - 2 * k); // smooth joins, no bands
            return mix(stops[i].colour, stops[i + 1].colour, s);
        }
    }
    return stops[std::size(stops) - 1].colour;
}

void paint_mask(Picture &p, const Mask &m, Rgb colour)
{
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const float a = m.at(x, y);
            if (a > 0)
                p.at(x, y) = mix(p.at(x, y), colour, a);
        }
}

// Pixel height at which `text` is `width` pixels wide.
float fit(const Font &font, const std::string &text, float width, float tracking_share)
{
    float h = 100;
    for (int i = 0; i < 4; ++i)
        h *= width / font.measure(text, h, h * tracking_share);
    return h;
}

} // namespace

Picture paint_background()
{
    Picture p(1024, 1024);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const double u = (x + 0.5) / p.width, v = (y + 0.5) / p.height;
            // Domain warp gives the swirls of a wet brush.
            const double wu = u + 0.20 * tiling_fbm(u, v, 3, 4, 0.5f, 11);
            const double wv = v + 0.20 * tiling_fbm(u, v, 3, 4, 0.5f, 23);
            float t = static_cast<float>(0.55 * wu + 0.45 * wv);
            t += 0.14f * tiling_fbm(wu, wv, 2, 3, 0.5f, 37);
            Rgb c = palette(t);
            // Long soft strokes along a slanted direction, and broad light.
            const double su = 0.8 * wu + 0.6 * wv, sv = -0.6 * wu + 0.8 * wv;
            const float stroke = gradient_noise(su * 6, sv * 36, kLarge, 53) * 0.6f +
                                 gradient_noise(su * 12, sv * 72, kLarge, 59) * 0.4f;
            const float light = 1.0f + 0.16f * tiling_fbm(wu, wv, 2, 3, 0.5f, 61) + 0.035f * stroke;
            c = {c.r * light, c.g * light, c.b * light};
            p.at(x, y) = c;
        }
    return p;
}

Picture paint_letters(const Font &font)
{
    Picture p(1024, 1024);
    Mask title(p.width, p.height), credit(p.width, p.height);
    const std::string name = "VELLAMOR";
    const float size = fit(font, name, 860, 0.06f);
    const float cap = font.cap_height(size);
    const float baseline = 480 + cap / 2;
    font.draw(title, name, size, size * 0.06f, 512, baseline);
    const std::string line = "music by Orvel ft Mirel \xC2\xB7 a ZVX production";
    font.draw(credit, line, 40, 3, 512, baseline + 110);
    paint_mask(p, title, {1, 1, 1});
    paint_mask(p, credit, {0.86f, 0.86f, 0.86f});
    return p;
}

Picture paint_logo(const Font &font)
{
    Picture p(1024, 1024);
    Mask logo(p.width, p.height);
    const std::string name = "ZVX";
    const float size = fit(font, name, 580, 0.04f);
    font.draw(logo, name, size, size * 0.04f, 512, 512 + font.cap_height(size) / 2);
    // A thin ring, anti-aliased by distance.
    const float radius = 420, half_width = 3.5f;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const float d = std::hypot(x + 0.5f - 512, y + 0.5f - 512);
            const float a = std::clamp(half_width + 0.5f - std::fabs(d - radius), 0.0f, 1.0f);
            logo.at(x, y) = std::max(logo.at(x, y), a);
        }
    paint_mask(p, logo, {1, 1, 1});
    return p;
}

Picture paint_noise()
{
    Picture p(512, 512);
    std::vector<float> h(static_cast<size_t>(p.width) * p.height);
    float lo = 1e9f, hi = -1e9f;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const double u = static_cast<double>(x) / p.width, v = static_cast<double>(y) / p.height;
            const float value = tiling_fbm(u, v, 4, 7, 0.56f, 71);
            h[static_cast<size_t>(y) * p.width + x] = value;
            lo = std::min(lo, value), hi = std::max(hi, value);
        }
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const float g = 0.04f + 0.92f * (h[static_cast<size_t>(y) * p.width + x] - lo) / (hi - lo);
            p.at(x, y) = {g, g, g};
        }
    return p;
}

} // namespace picgen
