#include "runtime/shaping.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double ease(double x, double k)
{
    const double c = std::clamp(x, 0.0, 1.0);
    const double h = 0.5 * (1.0 + std::cos(std::numbers::pi * c));
    return std::pow(1.0 - std::pow(h, (k + 1.0) / 2.0), k);
}

double ramp_in(double x)
{
    const double c = std::max(x, 0.0);
    const double b = std::pow(c / 2.0, 2.2);
    const double m = std::min(0.3 * c, 1.0);
    return c + (b - c) * (1.0 - m);
}
