#include "mp3_maker.h"
#include "sound/sound_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

namespace
{
std::vector<float> read_all(SoundDecoder &d)
{
    std::vector<float> all;
    std::vector<float> chunk(2 * 1000);
    while (const std::size_t n = d.read(chunk.data(), 1000))
        all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(2 * n));
    return all;
}
} // namespace

TEST(SoundDecoder, length_is_exact_and_a_seek_lands_on_the_very_sample)
{
    const auto path = make_mp3(scratch_dir() / "exact.mp3", {.seconds = 2.0, .frequency = 440.0});
    SoundDecoder d;
    ASSERT_TRUE(d.open(path.string(), 44100)) << d.error();
    EXPECT_EQ(d.length(), 88200); // from the tag; encoder delay and padding gone
    std::vector<float> head(2 * 3000);
    ASSERT_EQ(d.read(head.data(), 3000), 3000U);
    ASSERT_TRUE(d.scan()); // mid-stream: decoding goes on where it stood
    EXPECT_EQ(d.length(), 88200);
    std::vector<float> all = read_all(d);
    all.insert(all.begin(), head.begin(), head.end());
    ASSERT_EQ(all.size(), 2U * 88200U);

    ASSERT_TRUE(d.open(path.string(), 44100)); // straight from the start, unscanned
    EXPECT_EQ(read_all(d), all);
    for (const std::int64_t at :
         {std::int64_t{0}, std::int64_t{1}, std::int64_t{1151}, std::int64_t{44100}, std::int64_t{88199}}) {
        ASSERT_TRUE(d.seek(at));
        std::vector<float> got(2 * 64);
        const std::size_t n = d.read(got.data(), 64);
        ASSERT_EQ(n, static_cast<std::size_t>(std::min<std::int64_t>(64, 88200 - at)));
        for (std::size_t i = 0; i < 2 * n; ++i)
            ASSERT_EQ(got[i], all[static_cast<std::size_t>(2 * at) + i]) << "seek to " << at;
    }
    EXPECT_TRUE(d.seek(88200)); // the end itself: reads nothing
    float sink[2];
    EXPECT_EQ(d.read(sink, 1), 0U);
    EXPECT_FALSE(d.seek(88201));
    EXPECT_FALSE(d.seek(-1));
}

TEST(SoundDecoder, mono_and_other_rates_come_out_as_stereo_at_the_mix_rate)
{
    for (const int rate : {22050, 48000, 32000}) {
        const auto path = make_mp3(scratch_dir() / ("rate" + std::to_string(rate) + ".mp3"),
                                   {.seconds = 2.0, .rate = rate, .channels = 1});
        SoundDecoder d;
        ASSERT_TRUE(d.open(path.string(), 44100)) << rate << ": " << d.error();
        ASSERT_TRUE(d.scan());
        // Two seconds stay two seconds (within one MP3 frame of rounding).
        EXPECT_NEAR(static_cast<double>(d.length()), 88200.0, 1200.0) << rate;
        const std::vector<float> all = read_all(d);
        EXPECT_NEAR(static_cast<double>(all.size()) / 2.0, static_cast<double>(d.length()), 1200.0);
        for (std::size_t i = 0; i + 1 < all.size(); i += 2)
            ASSERT_EQ(all[i], all[i + 1]) << "mono must reach both channels, rate " << rate;
    }
}

TEST(SoundDecoder, missing_empty_and_foreign_files_fail_with_a_reason)
{
    SoundDecoder d;
    EXPECT_FALSE(d.open((scratch_dir() / "nothing-here.mp3").string(), 44100));
    EXPECT_FALSE(d.error().empty());

    const auto empty = scratch_dir() / "empty.mp3";
    std::ofstream(empty).close();
    EXPECT_FALSE(d.open(empty.string(), 44100));

    const auto text = scratch_dir() / "text.mp3";
    std::ofstream(text) << "This is not an MP3 file, only words.\n";
    EXPECT_FALSE(d.open(text.string(), 44100));
    float sink[2];
    EXPECT_EQ(d.read(sink, 1), 0U); // a failed open leaves nothing to read
}
