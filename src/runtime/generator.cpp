#include "runtime/generator.h"

namespace
{
std::uint32_t state = 1;
}

void random_seed(std::uint32_t s)
{
    state = s;
}

int random_next()
{
    state = state * 214013u + 2531011u;
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
