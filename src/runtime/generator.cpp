#include "runtime/generator.h"

namespace
{
std::uint32_t state = 1;

constexpr std::uint32_t multiplier = 214013u;
constexpr std::uint32_t increment = 2531011u;

// Four interleaved lanes, each one step ahead of the last: four steps of
// the generator are one step of s * a4 + c4 (mod 2^32), so the lanes do
// not wait on each other. `modulo` maps the 15 drawn bits to a byte.
template <class Modulo> std::size_t fill_in_lanes(unsigned char *out, std::size_t count, Modulo modulo)
{
    constexpr std::uint32_t a2 = multiplier * multiplier, c2 = increment * (multiplier + 1u);
    constexpr std::uint32_t a4 = a2 * a2, c4 = c2 * (a2 + 1u);
    std::uint32_t s0 = state * multiplier + increment;
    std::uint32_t s1 = s0 * multiplier + increment;
    std::uint32_t s2 = s1 * multiplier + increment;
    std::uint32_t s3 = s2 * multiplier + increment;
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        out[i] = static_cast<unsigned char>(modulo((s0 >> 16) & 0x7fffu));
        out[i + 1] = static_cast<unsigned char>(modulo((s1 >> 16) & 0x7fffu));
        out[i + 2] = static_cast<unsigned char>(modulo((s2 >> 16) & 0x7fffu));
        out[i + 3] = static_cast<unsigned char>(modulo((s3 >> 16) & 0x7fffu));
        state = s3;
        s0 = s0 * a4 + c4;
        s1 = s1 * a4 + c4;
        s2 = s2 * a4 + c4;
        s3 = s3 * a4 + c4;
    }
    return i;
}
} // namespace

void random_seed(std::uint32_t s)
{
    state = s;
}

int random_next()
{
    state = state * multiplier + increment;
    return static_cast<int>((state >> 16) & 0x7fffu);
}

double random_unit()
{
    return static_cast<double>(random_next()) / 32767.0;
}

std::uint32_t random_state()
{
    return state;
}

void random_fill_bytes(unsigned char *out, std::size_t count, int modulus)
{
    // The texture moduli as constants, so that the division becomes a
    // multiplication.
    std::size_t done = 0;
    if (modulus == 256)
        done = fill_in_lanes(out, count, [](std::uint32_t v) { return v % 256u; });
    else if (modulus == 255)
        done = fill_in_lanes(out, count, [](std::uint32_t v) { return v % 255u; });
    for (std::size_t i = done; i < count; ++i)
        out[i] = static_cast<unsigned char>(random_next() % modulus);
}
