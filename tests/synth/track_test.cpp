// The committed soundtrack: format, length, level, silence at the end, and
// the energy changes where the picture cuts. Decoded with libmpg123 (the
// file's own rate, no resampling) and, once, through the show's sound module.
#include "loudness.h"
#include "mp3_reader.h"
#include "sound/sound.h"
#include "sound/sound_decoder.h"

#include <gtest/gtest.h>
#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

const std::string track = std::string(VELLAMOR_SOURCE_DIR) + "/data/music/Orvel ft Mirel - Vellamor.mp3";

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::vector<float> left, right;
    double seconds() const { return rate ? static_cast<double>(left.size()) / rate : 0.0; }
};

const Decoded &decoded()
{
    static const Decoded d = [] {
        Decoded out;
        synth::DecodedAudio audio;
        std::string error;
        if (!synth::read_mp3(track, audio, error)) {
            ADD_FAILURE() << error;
            return out;
        }
        out.rate = audio.rate;
        out.channels = audio.channels;
        out.left = std::move(audio.audio.left);
        out.right = std::move(audio.audio.right);
        return out;
    }();
    return d;
}

// The cuts of the picture, in music seconds.
const std::vector<double> cuts{21.9,  27.2,  32.4,  37.7,  43.0,  87.1,  88.2, 108.28,
                               138.8, 148.9, 165.2, 169.1, 194.7, 204.7, 214.7};

constexpr int fft_size = 2048;
constexpr int hop = 441; // 10 ms

// Spectral flux: how much the log spectrum grows from one hop to the next.
std::vector<double> spectral_flux(const Decoded &d)
{
    kiss_fftr_cfg cfg = kiss_fftr_alloc(fft_size, 0, nullptr, nullptr);
    std::vector<float> window(fft_size), frame(fft_size);
    for (int i = 0; i < fft_size; ++i)
        window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * M_PI * i / fft_size));
    std::vector<kiss_fft_cpx> bins(fft_size / 2 + 1);
    std::vector<float> prev(fft_size / 2 + 1, 0.0f), mag(fft_size / 2 + 1);
    std::vector<double> flux;
    for (std::size_t start = 0; start + fft_size <= d.left.size(); start += hop) {
        for (int i = 0; i < fft_size; ++i)
            frame[i] = 0.5f * (d.left[start + i] + d.right[start + i]) * window[i];
        kiss_fftr(cfg, frame.data(), bins.data());
        double f = 0.0;
        for (std::size_t k = 1; k < mag.size(); ++k) {
            mag[k] = std::log1p(10.0f * std::hypot(bins[k].r, bins[k].i));
            f += std::max(0.0f, mag[k] - prev[k]);
        }
        prev = mag;
        flux.push_back(f);
    }
    kiss_fftr_free(cfg);
    return flux;
}

// Time of the centre of flux frame i: the frame reacts once the onset is
// in its window, so its middle is the best estimate.
double flux_time(std::size_t i, long rate)
{
    return (static_cast<double>(i) * hop + fft_size / 2.0) / rate;
}

double rms_db(const Decoded &d, double t0, double t1)
{
    const auto a = static_cast<std::size_t>(t0 * d.rate), b = static_cast<std::size_t>(t1 * d.rate);
    double e = 0.0;
    for (std::size_t i = a; i < b; ++i)
        e += double(d.left[i]) * d.left[i] + double(d.right[i]) * d.right[i];
    return 10.0 * std::log10(e / (2.0 * (b - a)) + 1e-30);
}

} // namespace

TEST(Track, format_length_and_level_meet_the_targets)
{
    const Decoded &d = decoded();
    ASSERT_EQ(d.rate, 44100) << track;
    ASSERT_EQ(d.channels, 2);
    EXPECT_GE(d.seconds(), 251.0);
    EXPECT_LT(d.seconds(), 256.0);
    const double peak = synth::sample_peak_db(d.left, d.right);
    const double lufs = synth::integrated_loudness(d.left, d.right);
    std::printf("decoded: %.3f s, peak %.2f dBFS, %.2f LUFS\n", d.seconds(), peak, lufs);
    EXPECT_LT(peak, -1.0);
    EXPECT_NEAR(lufs, -14.0, 0.5);
    // No DC offset, and the two channels really differ (stereo).
    double sl = 0.0, sr = 0.0, diff = 0.0;
    for (std::size_t i = 0; i < d.left.size(); ++i) {
        sl += d.left[i];
        sr += d.right[i];
        diff += std::fabs(d.left[i] - d.right[i]);
    }
    EXPECT_LT(std::fabs(sl / d.left.size()), 1e-4);
    EXPECT_LT(std::fabs(sr / d.right.size()), 1e-4);
    EXPECT_GT(diff / d.left.size(), 1e-3);
}

TEST(Track, fades_with_the_picture_to_digital_silence)
{
    const Decoded &d = decoded();
    ASSERT_GE(d.seconds(), 251.0);
    const double before = rms_db(d, 240.0, 241.0);
    double prev = rms_db(d, 241.0, 241.5);
    for (double t = 241.5; t < 247.0; t += 0.5) {
        const double now = rms_db(d, t, t + 0.5);
        EXPECT_LT(now, prev + 0.5) << "level rises during the fade at " << t;
        prev = now;
    }
    EXPECT_LT(rms_db(d, 246.5, 247.5), before - 30.0);
    const auto silent_from = static_cast<std::size_t>(248.0 * d.rate);
    for (std::size_t i = silent_from; i < d.left.size(); ++i) {
        ASSERT_EQ(d.left[i], 0.0f) << "not silent at " << static_cast<double>(i) / d.rate;
        ASSERT_EQ(d.right[i], 0.0f) << "not silent at " << static_cast<double>(i) / d.rate;
    }
}

TEST(Track, energy_jumps_where_the_picture_cuts)
{
    const Decoded &d = decoded();
    ASSERT_GE(d.seconds(), 251.0);
    const auto flux = spectral_flux(d);
    for (double cut : cuts) {
        // The strongest onset within a second of the cut lies at the cut,
        // and stands clear of the strongest one elsewhere in that second.
        std::size_t best = 0;
        double best_flux = -1.0;
        for (std::size_t i = 0; i < flux.size(); ++i)
            if (std::fabs(flux_time(i, d.rate) - cut) <= 1.0 && flux[i] > best_flux) {
                best_flux = flux[i];
                best = i;
            }
        const double at = flux_time(best, d.rate);
        double elsewhere = 0.0, elsewhere_at = 0.0;
        for (std::size_t i = 0; i < flux.size(); ++i) {
            const double t = flux_time(i, d.rate);
            if (std::fabs(t - cut) <= 1.0 && std::fabs(t - at) > 0.25 && flux[i] > elsewhere) {
                elsewhere = flux[i];
                elsewhere_at = t;
            }
        }
        EXPECT_NEAR(at, cut, 0.25) << "strongest change near " << cut << " is at " << at;
        EXPECT_GT(best_flux, 1.2 * elsewhere) << "weak change at " << cut;
        std::printf("cut %7.2f s: onset at %7.2f s, %.2f x the next strongest (at %.2f s)\n", cut, at,
                    best_flux / elsewhere, elsewhere_at);
    }
    // The silence before the stab: quiet, then loud.
    EXPECT_LT(rms_db(d, 107.8, 108.2), rms_db(d, 108.3, 108.7) - 40.0);
}

TEST(Track, the_show_sound_module_loads_it_at_44100)
{
    SoundDecoder dec;
    ASSERT_TRUE(dec.open(track, 44100)) << dec.error();
    EXPECT_GE(dec.length(), static_cast<std::int64_t>(251.0 * 44100));
    EXPECT_EQ(dec.length(), static_cast<std::int64_t>(decoded().left.size()));

    Sound sound;
    ASSERT_TRUE(sound.init(44100)) << sound.error();
    ASSERT_TRUE(sound.load(track)) << sound.error();
    EXPECT_EQ(sound.frequency(Sound::channel), 44100);
    EXPECT_EQ(sound.length(), dec.length());
    sound.close();
}
