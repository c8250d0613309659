#include "show/camera_script.h"

#include "runtime/shaping.h"

#include <array>
#include <cmath>

namespace
{

constexpr Vec3 up_z{0, 0, 1};

Shot orbit(double radius, double angle, double height, Vec3 centre = {})
{
    return {{radius * std::sin(angle), radius * std::cos(angle), height}, centre, up_z};
}

// One row of the script: its threshold and the shot it computes.
struct Row {
    double from;
    Shot (*shot)(double t, double a2);
};

const std::array<Row, 14> rows{{
    {21.0, [](double t, double) { return orbit(14.0, (t - 21.0) * 0.1 + 4.0, 10.0); }},
    {26.0,
     [](double t, double) {
         const double k = -2.0 * ramp_in((t - 26.0) * 0.5);
         return orbit(14.0, 4.0 - (t - 21.0) * 0.1, k + 10.0);
     }},
    {31.0, [](double t, double) { return orbit(45.6, (t - 25.6 - 21.0) * 0.24 + 4.0, 9.0); }},
    {36.0,
     [](double t, double) {
         const double a = (-21.6 - t - 21.0) * 0.14 + 4.0;
         const double r = ((t - 36.0) * 0.7 + 1.0) * 10.0;
         return orbit(r, a, 5.0, {0, 0, 6});
     }},
    {41.0,
     [](double t, double) {
         const double e = ease((t - 40.7 + 9.4) * 0.0525, 1.0);
         return Shot{{0, -17.0 - 20.0 * e, 34.0 * e - 20.0}, {0, -15, 0}, up_z};
     }},
    {84.0,
     [](double t, double) {
         const double e = ease((t - 86.0) * 0.05, 1.0);
         return Shot{{0, -21, 15.0 * e + 0.6}, {}, up_z};
     }},
    {103.3,
     [](double t, double a2) {
         const double v = t + 2.2 + 5.8;
         return orbit(44.0 * (1.0 - 0.1 * a2), 0.24 * v, 44.0);
     }},
    {132.0,
     [](double, double) {
         return Shot{{0, 0, 64}, {}, {1, 0, 1}};
     }},
    {141.6, [](double t, double) { return orbit(73.92, 0.14 * (t + 8.0), 44.0); }},
    {160.8, [](double t, double) { return orbit(20.0, 0.25 * t - 11.6, 15.0); }},
    {170.5,
     [](double t, double) {
         const double e = 3.7 * ease((t - 170.0) * 0.08, 1.0);
         const double u = 0.15 * t;
         return Shot{
             {12.0 * std::sin(-6.6 - u), 12.0 * std::cos(u - 6.6), 15.0 + 15.0 * e}, {0, 0, -2.0 * e}, up_z};
     }},
    {185.0,
     [](double t, double) {
         const double u = 0.15 * t;
         return Shot{
             {12.0 * std::sin(-6.6 - u), 12.0 * std::cos(u - 6.6), 39.0 + 2.0 * (t - 185.0)}, {}, up_z};
     }},
    {194.5,
     [](double t, double) {
         const double e = ease((t - 193.0) * 0.13, 1.0);
         return orbit(14.0, 0.15 * t - 6.6, 8.0, {0, 0, 30.0 - 30.0 * e});
     }},
    {204.0,
     [](double t, double) {
         return Shot{
             {42, 0, 3.0 * std::sin(0.25 * t) + 7.0}, {0, std::sin(0.21 * t), 4.0 * std::sin(0.2 * t)}, up_z};
     }},
}};

} // namespace

Shot camera_for(double t, double a2)
{
    Shot shot{{0, 10, 10.0 * a2 + 18.0}, {}, up_z};
    for (const Row &row : rows)
        if (t > row.from)
            shot = row.shot(t, a2);
    return shot;
}

Shot second_camera_for(double a2)
{
    return {{0, 1, 0}, {0, -35.0 * a2, 0}, {1, 0, 0}};
}

double camera_row_for(double t)
{
    double from = 0.0;
    for (const Row &row : rows)
        if (t > row.from)
            from = row.from;
    return from;
}
