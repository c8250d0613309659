// The random values every grid point carries: three numbers in [0, 1) per
// lattice point (i, j) of the 512 x 512 grid, made once on the processor
// and compiled into the point grids as texture coordinate 0. The particle
// programs read them instead of hashing the position on the GPU, so every
// card draws the same points (a GPU hash such as fract(sin(x) * 43758.5)
// depends on how the card rounds large sine arguments) and no vertex pays
// for a hash in each of the five passes.
// Depends on: nothing. Pure.
#pragma once

#include <array>

// Values of the form n / 2^24, so a 32-bit float holds them exactly; the
// same (i, j) always gives the same values, neighbours unrelated ones.
std::array<float, 3> point_randoms(int i, int j);
