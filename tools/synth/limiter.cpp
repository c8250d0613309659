// Look-ahead peak limiter: see limiter.h.
//
// For each sample the gain that just keeps it under the ceiling is
// `needed`; a running minimum over the next L samples, a release that only
// lets the gain rise slowly, and an L-sample moving average give a smooth
// gain that is still <= `needed` at every sample (every value averaged at n
// already saw sample n in its look-ahead window).
#include "limiter.h"

#include <algorithm>
#include <deque>

namespace synth
{

double limit(StereoBuffer &buf, const LimiterSettings &s)
{
    const std::size_t n = buf.frames();
    if (n == 0)
        return 1.0;
    const std::size_t look = std::max<std::size_t>(1, to_samples(s.lookahead));
    const double ceiling = s.ceiling;

    std::vector<float> needed(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double peak = std::max(std::fabs(buf.left[i]), std::fabs(buf.right[i]));
        needed[i] = peak > ceiling ? static_cast<float>(ceiling / peak) : 1.0f;
    }

    // Minimum of needed[i .. i+look-1] (monotonic deque of indices).
    std::vector<float> held(n);
    std::deque<std::size_t> window;
    for (std::size_t j = 0; j < n + look; ++j) {
        if (j < n) {
            while (!window.empty() && needed[window.back()] >= needed[j])
                window.pop_back();
            window.push_back(j);
        }
        if (j + 1 >= look) {
            const std::size_t i = j + 1 - look;
            if (i >= n)
                break;
            while (window.front() < i)
                window.pop_front();
            held[i] = needed[window.front()];
        }
    }

    const double rise = 1.0 - std::exp(-1.0 / (s.release * sample_rate));
    double g = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        g = std::min<double>(held[i], g + (1.0 - g) * rise);
        held[i] = static_cast<float>(g);
    }

    double sum = 0.0;
    double smallest = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += held[i];
        if (i >= look)
            sum -= held[i - look];
        const double count = static_cast<double>(std::min(i + 1, look));
        // The average can only beat `needed` by rounding; the min makes sure.
        const double gain = std::min(sum / count, static_cast<double>(needed[i]));
        smallest = std::min(smallest, gain);
        buf.left[i] = static_cast<float>(buf.left[i] * gain);
        buf.right[i] = static_cast<float>(buf.right[i] * gain);
    }
    return smallest;
}

} // namespace synth
