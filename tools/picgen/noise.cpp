// Wrapping gradient noise.
// Depends on: noise.h.
#include "noise.h"

#include <cmath>

namespace picgen
{
namespace
{

std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t salt)
{
    std::uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ salt * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

int wrap(long long i, int period)
{
    const long long m = i % period;
    return static_cast<int>(m < 0 ? m + period : m);
}

double fade(double t)
{
    return t * t * t * (t * (t * 6 - 15) + 10);
}

double corner(int ix, int iy, double dx, double dy, std::uint32_t salt)
{
    const double a = hash(static_cast<std::uint32_t>(ix), static_cast<std::uint32_t>(iy), salt) *
                     (6.283185307179586 / 4294967296.0);
    return std::cos(a) * dx + std::sin(a) * dy;
}

} // namespace

float gradient_noise(double x, double y, int period, std::uint32_t salt)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const long long ix = static_cast<long long>(fx), iy = static_cast<long long>(fy);
    const double dx = x - fx, dy = y - fy;
    const int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    const int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    const double u = fade(dx), v = fade(dy);
    const double a = corner(x0, y0, dx, dy, salt), b = corner(x1, y0, dx - 1, dy, salt);
    const double c = corner(x0, y1, dx, dy - 1, salt), d = corner(x1, y1, dx - 1, dy - 1, salt);
    return static_cast<float>((a + (b - a) * u) + ((c + (d - c) * u) - (a + (b - a) * u)) * v);
}

float tiling_fbm(double u, double v, int base_period, int octaves, float gain, std::uint32_t salt)
{
    float sum = 0, amp = 1;
    int period = base_period;
    for (int k = 0; k < octaves; ++k) {
        sum +=
            amp * gradient_noise(u * period, v * period, period, salt + static_cast<std::uint32_t>(k) * 101u);
        amp *= gain;
        period *= 2;
    }
    return sum;
}

} // namespace picgen
