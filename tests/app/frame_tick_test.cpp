// The order of operations of the start-up and of one frame tick, watched
// through a recording clock and a recording music source in place of the
// sound device, with the real main show drawn at 160 x 90 and a recording
// segment after it.
//
// What the order decides: the shared generator and the Timeline id follow
// the show time the frame starts at (not the advanced one), the seek goes to
// the time the main show wrote back in the previous frame, and the spectrum
// is read after the seek, so it is the music at its new place.
#include "app/show_spine.h"
#include "runtime/frame_step.h"
#include "runtime/generator.h"
#include "runtime/show_state.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "support/whole_show.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
std::vector<std::string> calls;

class RecordingClock final : public ShowClock
{
  public:
    void reset() override
    {
        calls.push_back("clock.reset");
        now = 0.0;
    }
    double read() override
    {
        calls.push_back("clock.read");
        return now;
    }
    double now = 100.0; // time spent before the start-up: never a frame step
};

class RecordingMusic final : public MusicSource
{
  public:
    void start() override
    {
        calls.push_back("music.start");
        show_was_set_up = segment_slots[0] != nullptr && segment_slots[0]->active == 1 &&
                          render_targets.textures[tex::background] != 0;
    }
    double position() override
    {
        calls.push_back("music.position");
        generator_at_position = random_state();
        show_time_at_position = show_time;
        return where;
    }
    bool has_ended() override { return false; }
    bool seek(double seconds) override
    {
        calls.push_back("music.seek");
        sought.push_back(seconds);
        if (seek_succeeds)
            where = seconds;
        return seek_succeeds;
    }
    void copy_spectrum(std::array<float, 512> &out) override
    {
        calls.push_back("music.spectrum");
        out.fill(static_cast<float>(where)); // the music where it stands now
    }
    void set_volume(int) override { calls.push_back("music.volume"); }
    void close() override { calls.push_back("music.close"); }

    double where = 0.0;
    bool seek_succeeds = true;
    bool show_was_set_up = false;
    std::uint32_t generator_at_position = 0;
    double show_time_at_position = -1.0;
    std::vector<double> sought;
};

// Drawn after the main show: what the frame loop's record holds then.
struct RecordingSegment final : parts {
    void draw(const double *, RenderTargets &, FrameInfo *info) override { seen = *info; }
    void setup(RenderTargets &) override {}
    FrameInfo seen;
};

struct FrameTick : WholeShowTest {
    RecordingClock clock;
    RecordingMusic music;
    ShowRun run{clock, music, false};

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(WholeShowTest::SetUp());
        calls.clear();
        fullscreen = false;
        window_width = render_width = 160;
        window_height = render_height = 90;
        ASSERT_TRUE(open_show("frame tick test", false, run));
    }
    void TearDown() override
    {
        segment_slots[1] = nullptr;
        left_button = 0;
        close_show();
        WholeShowTest::TearDown();
    }
};
} // namespace

TEST_F(FrameTick, start_up_starts_the_music_after_the_set_up_then_resets_the_clock)
{
    EXPECT_TRUE(music.show_was_set_up) << "the music started before the main show was ready";
    const std::vector<std::string> expected{"music.start", "clock.reset", "clock.read"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(show_time, 0.0);

    // The first step counts from the reset, not from before the loading.
    clock.now = 0.02;
    ASSERT_EQ(show_frame(), FrameEnd::running);
    EXPECT_NEAR(frame_delta, 0.02, 1e-12);
    EXPECT_NEAR(show_time, 0.02, 1e-12);
}

TEST_F(FrameTick, seed_and_timeline_follow_the_frame_start_and_the_spectrum_follows_the_seek)
{
    auto *main_show = dynamic_cast<part_start *>(segment_slots[0]);
    ASSERT_NE(main_show, nullptr);
    RecordingSegment after;
    segment_slots[1] = &after;

    // A frame without the button: the main show writes its raw time back as
    // the seek target of the caller's record.
    clock.now = 50.0;
    place_show_at(79.9);
    music.where = 79.9;
    clock.now += 0.05;
    ASSERT_EQ(show_frame(), FrameEnd::running);
    const double target = main_show->raw_time;
    EXPECT_NEAR(target, 79.95, 1e-9);
    EXPECT_EQ(frame_info.parameters[FrameInfo::seek_target], target);
    EXPECT_EQ(after.seen.parameters[FrameInfo::seek_target], target);

    // The next frame crosses the Timeline's boundary at 80 s with the left
    // button held.
    calls.clear();
    music.where = 79.95; // in step: no pull
    left_button = 1;
    clock.now += 0.1;
    testing::internal::CaptureStdout();
    ASSERT_EQ(show_frame(), FrameEnd::running);
    const std::string printed = testing::internal::GetCapturedStdout();

    const std::vector<std::string> expected{"clock.read", "clock.read", "music.position", "music.seek",
                                            "music.spectrum"};
    EXPECT_EQ(calls, expected);
    // Seed and Timeline from the show time the frame started at.
    EXPECT_NEAR(music.show_time_at_position, 79.95, 1e-9);
    random_seed(frame_seed(79.95));
    for (int i = 0; i < 50; ++i)
        random_next();
    EXPECT_EQ(music.generator_at_position, random_state());
    EXPECT_EQ(after.seen.interval_id, timeline.lookup(79.95));
    EXPECT_NE(timeline.lookup(79.95), timeline.lookup(80.05)); // the test crosses a boundary
    EXPECT_NEAR(show_time, 80.05, 1e-9);
    // The seek went to the main show's time, and the spectrum is the one
    // heard there.
    ASSERT_EQ(music.sought.size(), 2u); // place_show_at's, then the frame's
    EXPECT_EQ(music.sought[1], target);
    EXPECT_EQ(after.seen.spectrum[0], static_cast<float>(target));
    EXPECT_EQ(printed, "1\n");

    // A seek the music refuses prints 0, one line per frame.
    music.seek_succeeds = false;
    clock.now += 0.02;
    testing::internal::CaptureStdout();
    show_frame();
    show_frame();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "0\n0\n");
}
