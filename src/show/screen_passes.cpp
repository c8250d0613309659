#include "show/screen_passes.h"

#include "runtime/generator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

BloomWidth highlight_bloom_width(double limit)
{
    const float widen = 1.0f + static_cast<float>(limit > 0.0 ? limit : 0.0);
    return {0.00665f * widen, 0.01187f * widen};
}

HaloSize soft_halo_size(int width, int height)
{
    if (width < 1280)
        return {width, height, false, 1.0f};
    // The pinwheel spreads the halo by 1.2 pixels squared along each axis at
    // 1280 wide; reading it back from half size between its texels adds
    // about 0.85 (the read-back's own 0.75 and what filtered reads from
    // other places add), which a pinwheel that much smaller leaves room for.
    const double scale = width / 1280.0, spread = 1.2 * scale * scale;
    return {width / 2, height / 2, true, static_cast<float>(std::sqrt(1.0 - 0.85 / spread))};
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

BlurTaps gaussian_taps(float deviation, int reads)
{
    BlurTaps taps;
    taps.reads = reads < 0 ? 0 : (reads > BlurTaps::max_reads ? BlurTaps::max_reads : reads);
    if (!(deviation > 0.0f) || taps.reads == 0)
        return taps; // the centre alone
    const auto gauss = [deviation](float x) { return std::exp(-0.5f * x * x / (deviation * deviation)); };
    const int span = 2 * taps.reads;
    const int reach = std::min(static_cast<int>(std::ceil(3.0f * deviation)), span);
    if (deviation >= 1.0f && static_cast<float>(span) >= 2.5f * deviation) {
        for (int k = 0; k < taps.reads; ++k) {
            const int inner = 2 * k + 1, outer = inner + 1;
            const float w_inner = inner <= reach ? gauss(static_cast<float>(inner)) : 0.0f;
            const float w_outer = outer <= reach ? gauss(static_cast<float>(outer)) : 0.0f;
            taps.weight[k + 1] = w_inner + w_outer;
            // A texel without a partner is read at its centre exactly.
            taps.offset[k] = w_outer > 0.0f ? (inner * w_inner + outer * w_outer) / (w_inner + w_outer)
                                            : static_cast<float>(inner);
        }
    } else {
        const float spacing = 3.0f * deviation / static_cast<float>(taps.reads);
        for (int k = 0; k < taps.reads; ++k) {
            taps.offset[k] = spacing * static_cast<float>(k + 1);
            taps.weight[k + 1] = gauss(taps.offset[k]);
        }
    }
    float total = taps.weight[0];
    for (int k = 1; k <= taps.reads; ++k)
        total += 2.0f * taps.weight[k];
    for (float &w : taps.weight)
        w /= total;
    return taps;
}
