// The shared generator: one 32-bit linear congruential state, process-wide.
//
// The frame loop reseeds it from the show clock every frame and the scenes
// reseed it with fixed or time-derived seeds, so every frame (noise, leaf
// placement, occlusion jitter) is reproducible from its time alone.
// Depends on: nothing. Not thread-safe: main thread only.
#pragma once

#include <cstddef>
#include <cstdint>

// Sets the state to `s`. Before any seeding the state is 1.
void random_seed(std::uint32_t s);

// state = state * 214013 + 2531011 (mod 2^32); returns bits 16..30 of the
// new state, 0..32767.
int random_next();

// random_next() / 32767 as a double: 0.0 to 1.0, both inclusive.
double random_unit();

// Writes the next `count` values of random_next() % modulus to `out`,
// exactly as `count` calls would, leaving the same state; much faster for
// the millions of values of a noise texture. modulus is 1 to 32768.
void random_fill_bytes(unsigned char *out, std::size_t count, int modulus);

// The raw state, for tests that check reseeding.
std::uint32_t random_state();
