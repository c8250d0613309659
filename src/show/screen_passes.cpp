#include "show/screen_passes.h"

#include "runtime/generator.h"

#include <cstdint>

BloomWidth highlight_bloom_width(double limit)
{
    const float widen = 1.0f + static_cast<float>(limit > 0.0 ? limit : 0.0);
    return {0.00665f * widen, 0.01187f * widen};
}

double combine_limit(double t)
{
    // Scene times are small and positive; the cast through 64 bits keeps a
    // stray negative or huge time defined.
    const double scaled = t * 423424.0;
    const auto seed = (scaled > -9.0e18 && scaled < 9.0e18) ? static_cast<long long>(scaled) : 0LL;
    random_seed(static_cast<std::uint32_t>(seed));
    for (int i = 0; i < 1000; ++i)
        random_next();
    return random_unit();
}
