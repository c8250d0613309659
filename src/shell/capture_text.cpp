// Capture text formatting.
#include "shell/capture_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
// Drops trailing zeros after the point, keeping the point itself.
std::string trim_zeros(std::string digits)
{
    const auto point = digits.find('.');
    if (point == std::string::npos)
        return digits + ".";
    const auto last = digits.find_last_not_of('0');
    digits.erase(last + 1);
    return digits;
}
} // namespace

std::string format_capture_number(double x)
{
    if (std::isnan(x))
        return "nan";
    if (std::isinf(x))
        return x < 0 ? "-inf" : "inf";
    char buffer[64];
    // The exponent after rounding to six significant digits decides the form.
    std::snprintf(buffer, sizeof buffer, "%.5e", x);
    const std::string scientific = buffer;
    const auto e = scientific.find('e');
    const int exponent = x == 0.0 ? 0 : std::atoi(scientific.c_str() + e + 1);
    if (exponent >= -1 && exponent <= 5) {
        const int decimals = exponent < 0 ? 6 : 5 - exponent;
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, x);
        return trim_zeros(buffer);
    }
    std::snprintf(buffer, sizeof buffer, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return trim_zeros(scientific.substr(0, e)) + buffer;
}

std::string capture_lines(const double adjust[3], const double point[3], const float eye[3])
{
    const auto triple = [](double a, double b, double c) {
        return format_capture_number(a) + "," + format_capture_number(b) + "," + format_capture_number(c);
    };
    return "Cam :" + triple(adjust[0], adjust[1], adjust[2]) + "  \n" +
           "Pnt :" + triple(point[0], point[1], point[2]) + "  \n \n" +
           "MCr :" + triple(eye[0], eye[1], eye[2]) + "  \n \n";
}
