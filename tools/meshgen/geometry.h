// Small value types for the mesh generators: a 3-vector and a seeded
// random source.
//
// The random source is our own (splitmix64), not the C library's, so a seed
// gives the same meshes on every platform and compiler.
// Depends on: nothing. Limits: doubles throughout; output precision is
// decided by the OBJ writer.
#pragma once

#include <cmath>
#include <cstdint>

namespace meshgen
{

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator*(double s, Vec3 a)
{
    return a * s;
}
inline double dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a)
{
    return std::sqrt(dot(a, a));
}
inline Vec3 normalized(Vec3 a)
{
    const double l = length(a);
    return l > 0 ? a * (1.0 / l) : Vec3{0, 1, 0};
}
inline Vec3 lerp(Vec3 a, Vec3 b, double t)
{
    return a + (b - a) * t;
}

constexpr double kPi = 3.14159265358979323846;

// splitmix64: tiny, fast, and identical everywhere.
class Rng
{
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // [0, 1) with 53 bits.
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    // 0 .. n-1
    int below(int n) { return static_cast<int>(unit() * n); }
    bool chance(double p) { return unit() < p; }

  private:
    std::uint64_t state_;
};

} // namespace meshgen
