// Gradient noise that can wrap around, and sums of it over octaves.
//
// Depends on: nothing. Limits: 2D only; lattice gradients come from an
// integer hash, so the same salt gives the same field everywhere.
#pragma once

#include <cstdint>

namespace picgen
{

// Gradient noise at (x, y) in lattice units; the lattice repeats every
// `period` cells in both directions. About -0.7..0.7.
float gradient_noise(double x, double y, int period, std::uint32_t salt);

// Octave sum over the unit square (u, v in 0..1): octave k has
// base_period * 2^k cells across, so the result tiles seamlessly.
float tiling_fbm(double u, double v, int base_period, int octaves, float gain, std::uint32_t salt);

} // namespace picgen
