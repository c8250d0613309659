// The end of a track as the frame loop sees it: finished() turns true only
// once the listener hears silence after the last frame, never while the
// decoder is merely behind, and a file cut short plays (and reports) the
// length it really holds, whatever its tag claims.
#include "mp3_maker.h"
#include "sound/sound.h"
#include "waiting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

namespace
{
constexpr int rate = 44100;

// The first `keep` of the file's bytes, as a failed copy leaves it.
std::filesystem::path cut_copy(const std::filesystem::path &from, double keep)
{
    std::ifstream in(from, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.resize(static_cast<std::size_t>(static_cast<double>(bytes.size()) * keep));
    const auto to = from.parent_path() / ("cut-" + from.filename().string());
    std::ofstream(to, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return to;
}

class SoundEnd : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ::setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_TRUE(sound.init(rate)) << sound.error();
    }
    Sound sound;
};
} // namespace

TEST_F(SoundEnd, finished_only_after_the_last_frame_is_heard_and_a_seek_back_clears_it)
{
    const auto path = make_mp3(scratch_dir() / "end-0.8s.mp3", {.seconds = 0.8});
    ASSERT_TRUE(sound.load(path.string())) << sound.error();
    EXPECT_FALSE(sound.finished(Sound::channel)); // loaded, not played
    ASSERT_TRUE(sound.play(Sound::channel));
    EXPECT_FALSE(sound.finished(Sound::channel));

    // Every reading before the end is still playing; the first finished one
    // stands exactly at the end.
    std::uint32_t before = 0;
    ASSERT_TRUE(eventually([&] {
        if (sound.finished(Sound::channel))
            return true;
        before = sound.position(Sound::channel);
        return false;
    }));
    EXPECT_LE(before, sound.length());
    EXPECT_EQ(sound.position(Sound::channel), sound.length());
    EXPECT_FALSE(sound.finished(2)); // only channel 1 exists

    ASSERT_TRUE(sound.set_position(Sound::channel, rate / 4));
    EXPECT_FALSE(sound.finished(Sound::channel)); // playing again at once
    ASSERT_TRUE(eventually([&] { return sound.finished(Sound::channel); }));
    EXPECT_EQ(sound.position(Sound::channel), sound.length());
}

TEST_F(SoundEnd, a_file_cut_short_plays_and_reports_what_it_holds)
{
    // The tag at the start still claims 4 s; only about half the frames remain.
    const auto whole = make_mp3(scratch_dir() / "end-4s.mp3", {.seconds = 4.0});
    const auto cut = cut_copy(whole, 0.5);
    ASSERT_TRUE(sound.load(cut.string())) << sound.error();
    ASSERT_TRUE(eventually([&] { return sound.length_final(); }));
    EXPECT_GT(sound.length(), 1 * rate);
    EXPECT_LT(sound.length(), 3 * rate);

    ASSERT_TRUE(sound.play(Sound::channel));
    ASSERT_TRUE(eventually([&] { return sound.finished(Sound::channel); }));
    EXPECT_EQ(sound.position(Sound::channel), sound.length());
}
