// The MP3 writer: the file decodes to the same length at 44100 Hz stereo
// (the info frame lets decoders trim the encoder's delay and padding), the
// stream is constant bit rate, and encoding is repeatable byte for byte.
#include "mp3_writer.h"
#include "oscillator.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <cmath>
#include <cstdio>
#include <string>

using namespace synth;

namespace
{

StereoBuffer tone(std::size_t frames)
{
    StereoBuffer b(frames);
    Oscillator l(Wave::sine), r(Wave::sine);
    l.set_frequency(440.0);
    r.set_frequency(660.0);
    for (std::size_t i = 0; i < frames; ++i) {
        b.left[i] = 0.5f * l.next();
        b.right[i] = 0.5f * r.next();
    }
    return b;
}

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::vector<float> samples; // interleaved
    int bitrate = 0;
    bool cbr = false;
};

Decoded decode(const std::vector<unsigned char> &mp3)
{
    Decoded d;
    const std::string path = std::string(VELLAMOR_BINARY_DIR) + "/synth_mp3_writer_test.mp3";
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return d;
    std::fwrite(mp3.data(), 1, mp3.size(), f);
    std::fclose(f);
    mpg123_init();
    mpg123_handle *h = mpg123_new(nullptr, nullptr);
    mpg123_param(h, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_format_none(h);
    mpg123_format(h, 44100, MPG123_STEREO | MPG123_MONO, MPG123_ENC_FLOAT_32);
    mpg123_format(h, 48000, MPG123_STEREO | MPG123_MONO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(h, path.c_str()) == MPG123_OK) {
        int enc = 0;
        mpg123_getformat(h, &d.rate, &d.channels, &enc);
        std::vector<float> buf(8192);
        size_t got = 0;
        int rc;
        do {
            rc = mpg123_read(h, reinterpret_cast<unsigned char *>(buf.data()), buf.size() * sizeof(float),
                             &got);
            d.samples.insert(d.samples.end(), buf.begin(),
                             buf.begin() + static_cast<std::ptrdiff_t>(got / sizeof(float)));
        } while (rc == MPG123_OK || rc == MPG123_NEW_FORMAT);
        mpg123_frameinfo info{};
        if (mpg123_info(h, &info) == MPG123_OK) {
            d.bitrate = info.bitrate;
            d.cbr = info.vbr == MPG123_CBR;
        }
        mpg123_close(h);
    }
    mpg123_delete(h);
    std::remove(path.c_str());
    return d;
}

} // namespace

TEST(Mp3Writer, keeps_length_rate_and_signal)
{
    const std::size_t frames = 3 * 44100 + 123; // not a whole number of MP3 frames
    std::string error;
    const auto mp3 = encode_mp3(tone(frames), {192, 3}, error);
    ASSERT_FALSE(mp3.empty()) << error;
    // About 192 kbit/s: 3 s -> ~72 kB.
    EXPECT_NEAR(static_cast<double>(mp3.size()), 192000.0 / 8.0 * frames / 44100.0, 3000.0);

    const Decoded d = decode(mp3);
    ASSERT_EQ(d.rate, 44100);
    ASSERT_EQ(d.channels, 2);
    EXPECT_EQ(d.bitrate, 192);
    EXPECT_TRUE(d.cbr);
    ASSERT_EQ(d.samples.size(), 2 * frames);
    // Aligned to the input: the tone is where it was, left and right apart.
    const StereoBuffer in = tone(frames);
    double err = 0.0, ref = 0.0;
    for (std::size_t i = 1000; i + 1000 < frames; ++i) {
        err += std::pow(d.samples[2 * i] - in.left[i], 2) + std::pow(d.samples[2 * i + 1] - in.right[i], 2);
        ref += std::pow(in.left[i], 2) + std::pow(in.right[i], 2);
    }
    EXPECT_LT(10.0 * std::log10(err / ref), -30.0);
}

TEST(Mp3Writer, same_input_same_bytes)
{
    std::string error;
    const auto a = encode_mp3(tone(44100), {}, error);
    const auto b = encode_mp3(tone(44100), {}, error);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, b);
}
