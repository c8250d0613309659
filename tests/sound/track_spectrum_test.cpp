// The spectrum of a music time computed from the file (exports, stills)
// against what the sound module analyses while that time is heard: the
// device buffer after the one playing, after the volume.
#include "mp3_maker.h"
#include "sound/sound.h"
#include "sound/spectrum.h"
#include "sound/track_music.h"
#include "sound/track_spectrum.h"
#include "waiting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
std::size_t peak_bin(const std::array<float, 512> &m)
{
    return static_cast<std::size_t>(std::max_element(m.begin(), m.end()) - m.begin());
}

// The middle of track frame f, in seconds.
double at_frame(std::int64_t f)
{
    return (static_cast<double>(f) + 0.5) / 44100.0;
}

// 1 kHz (bin 23) for the first second, then 3 kHz (bin 70) to 2 s.
const std::filesystem::path &switching_track()
{
    static const std::filesystem::path path = [] {
        ToneFile tone;
        tone.frequency = 1000.0;
        tone.switch_at = 1.0;
        tone.frequency_after = 3000.0;
        return make_mp3(scratch_dir() / "switch.mp3", tone);
    }();
    return path;
}
} // namespace

TEST(AnalysedWindow, is_the_device_buffer_after_the_one_heard)
{
    EXPECT_EQ(analysed_window_start(0), 1024);
    EXPECT_EQ(analysed_window_start(1023), 1024);
    EXPECT_EQ(analysed_window_start(1024), 2048);
    EXPECT_EQ(analysed_window_start(44100), 44 * 1024);
}

TEST(TrackSpectrum, sees_the_next_buffer_as_the_sound_module_does)
{
    TrackSpectrum s;
    ASSERT_TRUE(s.open(switching_track().string()));
    // Heard frame 41*1024: the analysed buffer [42*1024, 43*1024) is all 1 kHz.
    EXPECT_EQ(peak_bin(s.at(at_frame(41 * 1024))), 23U);
    // Heard frame 43*1024 (still before the switch at 44100): the analysed
    // buffer starts at 44*1024 = 45056, past the switch, so 3 kHz.
    EXPECT_EQ(peak_bin(s.at(at_frame(43 * 1024))), 70U);
}

TEST(TrackSpectrum, follows_the_volume_and_is_silent_outside_the_track)
{
    TrackSpectrum s;
    ASSERT_TRUE(s.open(switching_track().string()));
    const auto full = s.at(0.5);
    ASSERT_GT(full[23], 0.5F);
    EXPECT_NEAR(s.at(0.5, 128)[23], full[23] * 128.0F / 255.0F, 1e-4F);
    const auto muted = s.at(0.5, 0);
    EXPECT_EQ(*std::max_element(muted.begin(), muted.end()), 0.0F);
    for (double t : {-0.1, 2.5, 1e12}) {
        const auto m = s.at(t);
        EXPECT_EQ(*std::max_element(m.begin(), m.end()), 0.0F) << t;
    }
}

TEST(TrackSpectrum, reading_on_through_an_export_gives_what_a_fresh_seek_gives)
{
    TrackSpectrum in_order;
    ASSERT_TRUE(in_order.open(switching_track().string()));
    for (int n = 0; n < 60; ++n) {
        const double t = n / 30.0;
        TrackSpectrum fresh;
        ASSERT_TRUE(fresh.open(switching_track().string()));
        ASSERT_EQ(in_order.at(t), fresh.at(t)) << "frame " << n;
    }
    // And back again, as a jump does.
    TrackSpectrum fresh;
    ASSERT_TRUE(fresh.open(switching_track().string()));
    EXPECT_EQ(in_order.at(0.2), fresh.at(0.2));
}

TEST(TrackMusic, reads_where_the_frame_step_begins_and_analyses_the_frame_time)
{
    TrackMusic music;
    ASSERT_TRUE(music.open(switching_track().string()));
    music.start();
    EXPECT_EQ(music.position(), 0.0);
    // A frame at 1.5 s reached by a step of 1/30 s: the music reads where
    // the show clock stood (so the pull adds nothing), the spectrum is 1.5 s.
    music.enter_frame(1.5, 1.0 / 30.0);
    EXPECT_DOUBLE_EQ(music.position(), 1.5 - 1.0 / 30.0);
    std::array<float, 512> m{};
    music.copy_spectrum(m);
    EXPECT_EQ(peak_bin(m), 70U);
    EXPECT_TRUE(music.seek(0.25));
    EXPECT_EQ(music.position(), 0.25);
    music.copy_spectrum(m);
    EXPECT_EQ(peak_bin(m), 23U);
    EXPECT_FALSE(music.seek(-1.0));
    EXPECT_EQ(music.position(), 0.25);
}

// The offline spectrum against the live module itself, played through SDL's
// dummy driver: whatever position the module reports, the spectrum it hands
// out at that moment is the one the file gives for that music time. Samples
// where a new buffer arrived between the reads, or where the position sits
// on a buffer edge (it then belongs to either buffer), say nothing.
TEST(TrackSpectrum, equals_what_the_playing_sound_module_reports_at_its_position)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    TrackSpectrum offline;
    ASSERT_TRUE(offline.open(switching_track().string()));
    Sound sound;
    ASSERT_TRUE(sound.init(44100)) << sound.error();
    ASSERT_TRUE(sound.load(switching_track().string())) << sound.error();
    sound.set_spectrum_active(true);
    ASSERT_TRUE(sound.play(Sound::channel));

    int compared = 0;
    bool saw_1k = false;
    bool saw_3k = false;
    const bool played = eventually([&] {
        const std::array<float, 512> before = sound.spectrum();
        const std::uint32_t heard = sound.position(Sound::channel);
        const std::array<float, 512> after = sound.spectrum();
        if (before == after && heard % 1024 != 0 && *std::max_element(after.begin(), after.end()) > 0.1F) {
            const auto expected = offline.at(at_frame(heard));
            float worst = 0.0F;
            for (std::size_t k = 0; k < expected.size(); ++k)
                worst = std::max(worst, std::abs(expected[k] - after[k]));
            EXPECT_LT(worst, 1e-4F) << "heard frame " << heard;
            ++compared;
            saw_1k = saw_1k || peak_bin(after) == 23U;
            saw_3k = saw_3k || peak_bin(after) == 70U;
        }
        wait_ms(3);
        return heard >= 80000 || sound.finished(Sound::channel) || ::testing::Test::HasFailure();
    });
    EXPECT_TRUE(played);
    EXPECT_GE(compared, 10);
    EXPECT_TRUE(saw_1k);
    EXPECT_TRUE(saw_3k);
}
