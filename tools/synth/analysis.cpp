// Listening by numbers: see analysis.h.
#include "analysis.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <numeric>

namespace synth
{
namespace
{

struct FftDeleter {
    void operator()(kiss_fftr_state *cfg) const { kiss_fftr_free(cfg); }
};

// Runs `per_frame(frame, bins)` for every full Hann-windowed frame.
template <class PerFrame>
void for_each_frame(std::span<const float> x, int fft_size, int hop, PerFrame &&per_frame)
{
    std::unique_ptr<kiss_fftr_state, FftDeleter> cfg(kiss_fftr_alloc(fft_size, 0, nullptr, nullptr));
    std::vector<float> window(static_cast<std::size_t>(fft_size)), in(window.size());
    for (int i = 0; i < fft_size; ++i)
        window[static_cast<std::size_t>(i)] = static_cast<float>(0.5 - 0.5 * std::cos(two_pi * i / fft_size));
    std::vector<kiss_fft_cpx> bins(static_cast<std::size_t>(fft_size / 2 + 1));
    std::size_t frame = 0;
    for (std::size_t start = 0; start + window.size() <= x.size(); start += static_cast<std::size_t>(hop)) {
        for (std::size_t i = 0; i < window.size(); ++i)
            in[i] = x[start + i] * window[i];
        kiss_fftr(cfg.get(), in.data(), bins.data());
        per_frame(frame++, bins);
    }
}

double midi_of(double hz)
{
    return 69.0 + 12.0 * std::log2(hz / 440.0);
}

// Frames whose centres lie in [t0, t1).
std::pair<std::size_t, std::size_t> frames_in(const Spectrogram &s, double t0, double t1)
{
    std::size_t a = 0;
    while (a < s.power.size() && s.frame_centre(a) < t0)
        ++a;
    std::size_t b = a;
    while (b < s.power.size() && s.frame_centre(b) < t1)
        ++b;
    return {a, b};
}

double to_db(double power)
{
    return std::max(-100.0, 10.0 * std::log10(power + 1e-30));
}

// Autocorrelation of x[a, b) at `lag`, per product.
double autocorrelation(const std::vector<float> &x, std::size_t a, std::size_t b, std::size_t lag)
{
    if (b <= a + lag)
        return 0.0;
    double sum = 0.0;
    for (std::size_t n = a; n + lag < b; ++n)
        sum += double(x[n]) * x[n + lag];
    return sum / static_cast<double>(b - a - lag);
}

// Lag of the autocorrelation peak in [lo, hi], interpolated between
// frames; negative when the peak sits on the edge of the range.
double peak_lag(const std::vector<float> &x, std::size_t a, std::size_t b, std::size_t lo, std::size_t hi,
                double &value)
{
    std::vector<double> r;
    for (std::size_t lag = lo - 1; lag <= hi + 1; ++lag)
        r.push_back(autocorrelation(x, a, b, lag));
    std::size_t best = 1;
    for (std::size_t i = 1; i + 1 < r.size(); ++i)
        if (r[i] > r[best])
            best = i;
    value = r[best];
    if (r[best] < r[best - 1] || r[best] < r[best + 1])
        return -1.0;
    const double den = r[best - 1] - 2.0 * r[best] + r[best + 1];
    const double delta = den < 0.0 ? 0.5 * (r[best - 1] - r[best + 1]) / den : 0.0;
    return static_cast<double>(lo - 1 + best) + delta;
}

} // namespace

double Spectrogram::frame_centre(std::size_t frame) const
{
    return (static_cast<double>(frame) * hop + fft_size / 2.0) / sample_rate;
}

Spectrogram spectrogram(std::span<const float> mono, int fft_size, int hop)
{
    Spectrogram s;
    s.fft_size = fft_size;
    s.hop = hop;
    // A full-scale sine reads 0 dB in its bin.
    const double scale = 1.0 / (fft_size / 4.0 * fft_size / 4.0);
    for_each_frame(mono, fft_size, hop, [&](std::size_t, const std::vector<kiss_fft_cpx> &bins) {
        std::vector<float> p(bins.size());
        for (std::size_t k = 0; k < bins.size(); ++k)
            p[k] =
                static_cast<float>((double(bins[k].r) * bins[k].r + double(bins[k].i) * bins[k].i) * scale);
        s.power.push_back(std::move(p));
    });
    return s;
}

std::array<double, 12> chroma(const Spectrogram &s, double t0, double t1, double lo_hz, double hi_hz)
{
    std::array<double, 12> c{};
    const auto [a, b] = frames_in(s, t0, t1);
    for (std::size_t k = 1; k <= static_cast<std::size_t>(s.fft_size / 2); ++k) {
        const double hz = s.bin_hz(k);
        if (hz < lo_hz || hz > hi_hz)
            continue;
        const long note = std::lround(midi_of(hz));
        double sum = 0.0;
        for (std::size_t f = a; f < b; ++f)
            sum += std::sqrt(double(s.power[f][k]));
        c[static_cast<std::size_t>(note % 12)] += sum;
    }
    return c;
}

double chord_fit(const std::array<double, 12> &chroma, unsigned pitch_classes)
{
    // Less the median class: noise spread over all twelve (risers, rolls,
    // cymbals) would otherwise favour chords of four tones over three.
    std::array<double, 12> sorted = chroma;
    std::nth_element(sorted.begin(), sorted.begin() + 6, sorted.end());
    const double floor = sorted[6];
    double in = 0.0, norm = 0.0;
    for (int k = 0; k < 12; ++k) {
        const double v = std::max(0.0, chroma[static_cast<std::size_t>(k)] - floor);
        norm += v * v;
        if (pitch_classes & (1u << k))
            in += v;
    }
    const int n = std::popcount(pitch_classes & 0xfffu);
    return norm > 0.0 && n > 0 ? in / (std::sqrt(norm) * std::sqrt(double(n))) : 0.0;
}

std::vector<double> semitone_levels_db(const Spectrogram &s, double t0, double t1)
{
    constexpr int lowest = 36, highest = 120;
    std::vector<double> power(highest - lowest + 1, 0.0);
    const auto [a, b] = frames_in(s, t0, t1);
    for (std::size_t k = 1; k <= static_cast<std::size_t>(s.fft_size / 2); ++k) {
        const long note = std::lround(midi_of(s.bin_hz(k)));
        if (note < lowest || note > highest)
            continue;
        for (std::size_t f = a; f < b; ++f)
            power[static_cast<std::size_t>(note - lowest)] += s.power[f][k];
    }
    std::vector<double> db;
    for (double p : power)
        db.push_back(to_db(b > a ? p / double(b - a) : 0.0));
    return db;
}

double band_level_db(const Spectrogram &s, double t0, double t1, double lo_hz, double hi_hz)
{
    const auto [a, b] = frames_in(s, t0, t1);
    double sum = 0.0;
    for (std::size_t f = a; f < b; ++f)
        for (std::size_t k = 1; k <= static_cast<std::size_t>(s.fft_size / 2); ++k)
            if (s.bin_hz(k) >= lo_hz && s.bin_hz(k) < hi_hz)
                sum += s.power[f][k];
    return to_db(b > a ? sum / double(b - a) : 0.0);
}

Onsets onsets(std::span<const float> mono)
{
    constexpr int fft_size = 1024, hop = 128;
    Onsets o;
    o.hop_s = hop / sample_rate;
    std::vector<float> prev(fft_size / 2 + 1, 0.0f), flux;
    for_each_frame(mono, fft_size, hop, [&](std::size_t, const std::vector<kiss_fft_cpx> &bins) {
        double f = 0.0;
        for (std::size_t k = 1; k < bins.size(); ++k) {
            const float m = std::log1p(10.0f * std::hypot(bins[k].r, bins[k].i));
            f += std::max(0.0f, m - prev[k]);
            prev[k] = m;
        }
        flux.push_back(static_cast<float>(f));
    });
    // Less the mean of the surrounding 0.2 s, so slow swells do not count.
    constexpr std::size_t half = 34;
    o.strength.resize(flux.size());
    for (std::size_t n = 0; n < flux.size(); ++n) {
        const std::size_t a = n > half ? n - half : 0, b = std::min(flux.size(), n + half + 1);
        const double mean =
            std::accumulate(flux.begin() + long(a), flux.begin() + long(b), 0.0) / double(b - a);
        o.strength[n] = static_cast<float>(std::max(0.0, flux[n] - mean));
    }
    // Frame n starts at n * hop. Its growth peaks a little before the
    // onset reaches the window's middle: on clicks, at about three quarters
    // of the window. strength[0] compares frame 0 with silence: dropped.
    o.offset_s = 0.75 * fft_size / sample_rate;
    if (!o.strength.empty())
        o.strength[0] = 0.0f;
    return o;
}

Tempo estimate_tempo(const Onsets &o, double t0, double t1, double lo_bpm, double hi_bpm)
{
    const double offset = o.offset_s;
    const auto a = static_cast<std::size_t>(std::max(0.0, std::ceil((t0 - offset) / o.hop_s)));
    const auto b =
        std::min(o.strength.size(), static_cast<std::size_t>(std::max(0.0, (t1 - offset) / o.hop_s)));
    const auto lo = static_cast<std::size_t>(std::floor(60.0 / hi_bpm / o.hop_s));
    const auto hi = static_cast<std::size_t>(std::ceil(60.0 / lo_bpm / o.hop_s));
    Tempo t;
    if (b <= a + 2 * hi)
        return t;
    const double energy = autocorrelation(o.strength, a, b, 0);
    double value = 0.0;
    double lag = peak_lag(o.strength, a, b, lo, hi, value);
    if (lag <= 0.0 || energy <= 0.0)
        return t;
    t.clarity = value / energy;
    for (int k : {2, 4}) {
        if (static_cast<double>(b - a) < (k + 2) * lag)
            break;
        const double centre = k * lag;
        double v = 0.0;
        const double refined = peak_lag(o.strength, a, b, static_cast<std::size_t>(centre) - 4,
                                        static_cast<std::size_t>(centre) + 5, v);
        if (refined > 0.0)
            lag = refined / k;
    }
    t.bpm = 60.0 / (lag * o.hop_s);
    return t;
}

std::vector<double> beat_lengths(const Onsets &o, double t, double guess_s, int count, int direction,
                                 double min_strength)
{
    double at = strongest_onset(o, t, 0.03).time, period = guess_s, strength = 0.0;
    std::vector<double> lengths;
    for (int k = 0; k < count; ++k) {
        const Onset next = strongest_onset(o, at + direction * period, 0.08 * guess_s);
        if (next.time == 0.0 || at == 0.0)
            return {};
        strength += next.strength;
        lengths.push_back(std::fabs(next.time - at));
        // A stray onset may pull one beat off; the next guess stays near
        // the expected beat.
        period = std::clamp(lengths.back(), 0.95 * guess_s, 1.05 * guess_s);
        at = next.time;
    }
    if (strength < min_strength * count)
        return {};
    return lengths;
}

double beat_at_downbeat(const std::vector<double> &lengths)
{
    // Beat k (0 nearest) is centred k + 0.5 beats from the downbeat: fit a
    // line through them and read it at 0.
    const auto n = static_cast<double>(lengths.size());
    if (lengths.size() < 2)
        return lengths.empty() ? 0.0 : lengths[0];
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    for (std::size_t k = 0; k < lengths.size(); ++k) {
        const double x = static_cast<double>(k) + 0.5;
        sx += x;
        sy += lengths[k];
        sxx += x * x;
        sxy += x * lengths[k];
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    return (sy - slope * sx) / n;
}

Onset strongest_onset(const Onsets &o, double t, double radius)
{
    const double offset = o.offset_s;
    auto time_of = [&](std::size_t n) { return offset + static_cast<double>(n) * o.hop_s; };
    Onset best; // time 0: no onset in reach
    double best_value = 0.0;
    std::size_t at = 0;
    for (std::size_t n = 0; n < o.strength.size(); ++n)
        if (std::fabs(time_of(n) - t) <= radius && o.strength[n] > best_value) {
            best_value = o.strength[n];
            at = n;
        }
    best.strength = std::max(0.0, best_value);
    if (best_value > 0.0) {
        // Between frames: the peak of a parabola through its neighbours.
        best.time = time_of(at);
        if (at > 0 && at + 1 < o.strength.size()) {
            const double a = o.strength[at - 1], b = o.strength[at], c = o.strength[at + 1];
            const double den = a - 2.0 * b + c;
            if (den < 0.0)
                best.time += 0.5 * (a - c) / den * o.hop_s;
        }
    }
    double elsewhere = 0.0;
    for (std::size_t n = 0; n < o.strength.size(); ++n)
        if (std::fabs(time_of(n) - t) <= radius && std::fabs(time_of(n) - best.time) > 0.25)
            elsewhere = std::max(elsewhere, double(o.strength[n]));
    best.margin = elsewhere > 0.0 ? best_value / elsewhere : best_value > 0.0 ? HUGE_VAL : 0.0;
    return best;
}

double level_distance_db(const std::vector<double> &a, const std::vector<double> &b)
{
    const std::size_t n = std::min(a.size(), b.size());
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        sum += std::fabs(a[i] - b[i]);
    return n ? sum / double(n) : 0.0;
}

int count_near_twins(const std::vector<std::vector<double>> &levels, const std::vector<double> &times,
                     double max_db, double min_apart_s)
{
    int count = 0;
    for (std::size_t i = 0; i < levels.size(); ++i)
        for (std::size_t j = 0; j < levels.size(); ++j)
            if (std::fabs(times[i] - times[j]) > min_apart_s &&
                level_distance_db(levels[i], levels[j]) <= max_db) {
                ++count;
                break;
            }
    return count;
}

} // namespace synth
