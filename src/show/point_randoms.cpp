#include "show/point_randoms.h"

#include <cstdint>

namespace
{

// A 32-bit integer mixer (xor-shift and multiply rounds): every input bit
// reaches every output bit.
std::uint32_t mix(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float unit(std::uint32_t bits)
{
    return static_cast<float>(bits >> 8) * (1.0f / 16777216.0f);
}

} // namespace

std::array<float, 3> point_randoms(int i, int j)
{
    // One key per lattice point; each of the three values mixes it with its
    // own constant.
    const std::uint32_t key = (static_cast<std::uint32_t>(i) << 16) ^ static_cast<std::uint32_t>(j);
    return {unit(mix(key)), unit(mix(key ^ 0x68e31da4U)), unit(mix(key ^ 0xb5297a4dU))};
}
