// One spectrum arithmetic for the offline spectrum and the browser build:
// the spectrum of a decoded track in memory equals what TrackSpectrum reads
// from the file at the same times (the window after the one heard, silence
// past the end), and the analyser on our FFT equals the one on kissfft
// within 1e-5 of the largest bin.
#include "mp3_maker.h"
#include "sound/sound_decoder.h"
#include "sound/track_spectrum.h"
#include "sound/track_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace
{
// 1 kHz for the first second, then 3 kHz to 2 s.
std::filesystem::path switching_track()
{
    ToneFile tone;
    tone.frequency = 1000.0;
    tone.switch_at = 1.0;
    tone.frequency_after = 3000.0;
    return make_mp3(scratch_dir() / "track-window.mp3", tone);
}

std::vector<float> decoded(const std::filesystem::path &file)
{
    SoundDecoder decoder;
    EXPECT_TRUE(decoder.open(file.string(), track_rate));
    decoder.scan();
    std::vector<float> stereo(2 * static_cast<std::size_t>(decoder.length()));
    std::size_t got = 0;
    while (got < stereo.size() / 2) {
        const std::size_t n = decoder.read(stereo.data() + 2 * got, stereo.size() / 2 - got);
        if (n == 0)
            break;
        got += n;
    }
    stereo.resize(2 * got);
    return stereo;
}

float largest(const std::array<float, spectrum_bins> &m)
{
    return *std::max_element(m.begin(), m.end());
}
} // namespace

TEST(TrackWindow, the_track_in_memory_gives_the_files_spectrum_at_every_time)
{
    const auto file = switching_track();
    TrackSpectrum from_file;
    ASSERT_TRUE(from_file.open(file.string()));
    const std::vector<float> track = decoded(file);
    ASSERT_EQ(static_cast<double>(track.size() / 2) / track_rate, from_file.length_seconds());
    SpectrumAnalyser analyser(SpectrumFft::kissfft);
    const double end = from_file.length_seconds();
    for (double t : {0.0, 0.01, 0.5, 0.999, 1.0, 1.5, end - 0.03, end - 1e-4, end, end + 1.0, -0.01})
        for (int volume : {255, 100})
            EXPECT_EQ(track_spectrum_at(analyser, track, t, volume), from_file.at(t, volume))
                << "t " << t << " volume " << volume;
    EXPECT_GT(largest(track_spectrum_at(analyser, track, 0.5)), 0.5);
    EXPECT_EQ(track_spectrum_at(analyser, track, end), (std::array<float, spectrum_bins>{}));
}

TEST(TrackWindow, window_placement_refuses_times_outside_the_track)
{
    EXPECT_EQ(analysed_window_at(0.0, 44100), 1024);
    EXPECT_EQ(analysed_window_at(1023.5 / track_rate, 44100), 1024);
    EXPECT_EQ(analysed_window_at(1024.0 / track_rate, 44100), 2048);
    EXPECT_EQ(analysed_window_at(0.9999, 44100), 45056) << "wholly past the last frame: silence";
    for (double bad : {-1e-9, 1.0, 1e300, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(analysed_window_at(bad, 44100)) << bad;
    EXPECT_FALSE(analysed_window_at(0.0, 0));
}

TEST(TrackWindow, our_fft_gives_kissffts_spectrum_within_1e_5_of_the_largest_bin)
{
    SpectrumAnalyser kiss(SpectrumFft::kissfft), ours(SpectrumFft::ours);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> uniform(-1.0F, 1.0F);
    const auto file_track = decoded(switching_track());
    for (int round = 0; round < 20; ++round) {
        std::array<float, spectrum_window> samples{};
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = round < 10 ? uniform(random)
                                    : analysed_mono(file_track[2 * (i + 4096 * round)],
                                                    file_track[2 * (i + 4096 * round) + 1]);
        std::array<float, spectrum_bins> a{}, b{};
        kiss.analyse(samples, a);
        ours.analyse(samples, b);
        const float scale = largest(a);
        ASSERT_GT(scale, 0.0F);
        for (std::size_t k = 0; k < spectrum_bins; ++k)
            ASSERT_NEAR(b[k], a[k], 1e-5 * scale) << "round " << round << " bin " << k;
    }
}
