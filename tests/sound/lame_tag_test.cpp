// The gapless trim from the LAME tag: a decode that keeps every sample,
// trimmed by decoder_start_skip, starts on the very sample that libmpg123's
// gapless decode starts with, on the show's soundtrack and on a file made
// here; damaged or foreign bytes give no tag and no crash.
#include "mp3_maker.h"
#include "sound/lame_tag.h"

#include <mpg123.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace
{

std::vector<std::uint8_t> bytes_of(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The first `count` mono-or-left samples of the file, decoded as floats,
// gapless or keeping everything.
std::vector<float> first_samples(const fs::path &path, bool gapless, std::size_t count)
{
    mpg123_handle *h = mpg123_new(nullptr, nullptr);
    EXPECT_NE(h, nullptr);
    mpg123_param(h, gapless ? MPG123_ADD_FLAGS : MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_FORCE_FLOAT, 0.0);
    std::vector<float> out;
    if (mpg123_open(h, path.c_str()) == MPG123_OK) {
        long rate = 0;
        int channels = 0, encoding = 0;
        mpg123_getformat(h, &rate, &channels, &encoding);
        std::vector<float> buffer(4096 * static_cast<std::size_t>(channels));
        while (out.size() < count) {
            size_t done = 0;
            const int r = mpg123_read(h, buffer.data(), buffer.size() * sizeof(float), &done);
            for (std::size_t i = 0; i < done / sizeof(float); i += static_cast<std::size_t>(channels))
                out.push_back(buffer[i]);
            if (r != MPG123_OK && r != MPG123_NEW_FORMAT)
                break;
        }
        mpg123_close(h);
    }
    mpg123_delete(h);
    out.resize(std::min(out.size(), count));
    return out;
}

void expect_trim_matches_gapless(const fs::path &path)
{
    const auto tag = read_lame_tag(bytes_of(path));
    ASSERT_TRUE(tag.has_value()) << path;
    const std::size_t skip = static_cast<std::size_t>(decoder_start_skip(*tag));
    const std::size_t n = 20000;
    const auto gapless = first_samples(path, true, n);
    const auto everything = first_samples(path, false, n + skip + 1);
    ASSERT_EQ(gapless.size(), n);
    ASSERT_EQ(everything.size(), n + skip + 1);
    std::size_t mismatched = 0, mismatched_one_later = 0;
    for (std::size_t i = 0; i < n; ++i) {
        mismatched += everything[skip + i] != gapless[i];
        mismatched_one_later += everything[skip + 1 + i] != gapless[i];
    }
    EXPECT_EQ(mismatched, 0u) << path << " skip " << skip;
    // The comparison can tell a sample apart: one further is wrong.
    EXPECT_GT(mismatched_one_later, n / 2) << path;
    // The tag's length is the gapless decode's; a browser buffer of that
    // length is not trimmed again, a longer one (everything kept) is.
    const auto whole = first_samples(path, true, std::size_t{1} << 26);
    EXPECT_EQ(tag->gapless_length, static_cast<std::int64_t>(whole.size())) << path;
    EXPECT_EQ(browser_start_skip(*tag, tag->gapless_length), 0);
    EXPECT_EQ(browser_start_skip(*tag, tag->gapless_length + tag->encoder_delay + tag->padding),
              decoder_start_skip(*tag));
}

} // namespace

TEST(LameTag, the_trim_starts_on_mpg123s_first_gapless_sample)
{
    ASSERT_EQ(mpg123_init(), MPG123_OK);
    expect_trim_matches_gapless(fs::path(VELLAMOR_SOURCE_DIR) / "data" / "music" /
                                "Orvel ft Mirel - Vellamor.mp3");
    ToneFile tone;
    tone.rate = 48000;
    tone.channels = 1;
    tone.frequency = 311.0;
    tone.switch_at = 0.05;
    tone.frequency_after = 2300.0;
    const fs::path made = make_mp3(scratch_dir() / "lame-tag-48k-mono.mp3", tone);
    expect_trim_matches_gapless(made);
    const auto tag = read_lame_tag(bytes_of(made));
    ASSERT_TRUE(tag.has_value());
    EXPECT_EQ(tag->sample_rate, 48000);
}

TEST(LameTag, an_id3v2_tag_in_front_is_skipped)
{
    ToneFile tone;
    tone.seconds = 0.3;
    const auto plain = bytes_of(make_mp3(scratch_dir() / "lame-tag-plain.mp3", tone));
    const auto tag = read_lame_tag(plain);
    ASSERT_TRUE(tag.has_value());
    // "ID3" v2.4, no flags, 300 bytes of frames (syncsafe 2 x 128 + 44).
    std::vector<std::uint8_t> tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 2, 44};
    tagged.resize(310, 0);
    tagged.insert(tagged.end(), plain.begin(), plain.end());
    const auto shifted = read_lame_tag(tagged);
    ASSERT_TRUE(shifted.has_value());
    EXPECT_EQ(shifted->encoder_delay, tag->encoder_delay);
    EXPECT_EQ(shifted->padding, tag->padding);
    EXPECT_EQ(shifted->audio_offset, tag->audio_offset + 310);
}

TEST(LameTag, damaged_or_foreign_bytes_give_no_tag)
{
    ToneFile tone;
    tone.seconds = 0.3;
    const auto file = bytes_of(make_mp3(scratch_dir() / "lame-tag-cut.mp3", tone));
    const auto tag = read_lame_tag(file);
    ASSERT_TRUE(tag.has_value());
    // Every cut inside the tag's frame (the sanitizer run catches a read
    // past the end).
    for (std::size_t cut = 0; cut < tag->audio_offset; ++cut)
        EXPECT_FALSE(read_lame_tag(std::span(file).first(cut)).has_value()) << cut;
    // A file that starts at its first audio frame has no tag.
    EXPECT_FALSE(read_lame_tag(std::span(file).subspan(tag->audio_offset)).has_value());
    // Not MP3 at all; an ID3v2 size that runs past the end.
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    EXPECT_FALSE(read_lame_tag(text).has_value());
    std::vector<std::uint8_t> huge_id3 = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
    EXPECT_FALSE(read_lame_tag(huge_id3).has_value());
}
