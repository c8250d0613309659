// The show's own start-up and frame tick in a real window at small sizes,
// fed by a test clock and a scripted music source: the pull toward the
// music and where it stops, the music in the picture, the letterbox bands,
// and the message loop running the show to its end with exit status 0.
#include "app/show_spine.h"
#include "render/frame_readback.h"
#include "runtime/show_sources.h"
#include "runtime/show_state.h"
#include "shell/window.h"
#include "stepped_show.h"

#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// Music whose position, end and spectrum the test sets. `on_frame` runs in
// every tick when the tick takes the spectrum (before the segments draw).
class ScriptedMusic final : public MusicSource
{
  public:
    double at = 0.0;
    bool ended = false;
    std::array<float, 512> spectrum{};
    std::function<void()> on_frame;

    void start() override {}
    double position() override { return at; }
    bool has_ended() override { return ended; }
    bool seek(double seconds) override
    {
        at = seconds;
        return true;
    }
    void copy_spectrum(std::array<float, 512> &out) override
    {
        out = spectrum;
        if (on_frame)
            on_frame();
    }
    void set_volume(int) override {}
    void close() override {}
};

// The show in a window of the given size drawing pictures of the render
// size (the letterbox when they differ), from the show's files in the
// working folder.
bool open_test_show(ShowRun &run, int window_w, int window_h, int render_w, int render_h)
{
    window_width = window_w;
    window_height = window_h;
    render_width = render_w;
    render_height = render_h;
    return open_show("show run test", false, run);
}

int brightest(const std::vector<std::uint8_t> &rgb)
{
    return rgb.empty() ? 0 : *std::max_element(rgb.begin(), rgb.end());
}

// Pixels (of three bytes) whose channels differ by more than `tolerance`.
int differing_pixels(const std::vector<std::uint8_t> &a, const std::vector<std::uint8_t> &b,
                     int tolerance = 8)
{
    int n = 0;
    for (std::size_t i = 0; i + 2 < std::min(a.size(), b.size()); i += 3)
        n += std::abs(a[i] - b[i]) > tolerance || std::abs(a[i + 1] - b[i + 1]) > tolerance ||
             std::abs(a[i + 2] - b[i + 2]) > tolerance;
    return n;
}

// Rows [first, first + count) of an RGB picture `width` wide, top row first.
std::vector<std::uint8_t> rows(const std::vector<std::uint8_t> &rgb, int width, int first, int count)
{
    const auto begin = rgb.begin() + static_cast<std::ptrdiff_t>(first) * width * 3;
    return {begin, begin + static_cast<std::ptrdiff_t>(count) * width * 3};
}

class ShowRunGl : public SteppedShow<ScriptedMusic>
{
  protected:
    // The frame at scene time t with `spectrum`, read back from the window.
    std::vector<std::uint8_t> frame_at(double scene_time, float level)
    {
        place_show_at_scene_time(scene_time);
        music.at = show_time; // in step: no pull
        music.spectrum.fill(level);
        show_frame();
        return read_back_frame_rgb(window_width, window_height);
    }
};
} // namespace

TEST_F(ShowRunGl, music_pulls_the_clock_until_240_s_and_not_once_the_track_has_ended)
{
    ASSERT_TRUE(open_test_show(run, 160, 90, 160, 90));
    place_show_at(100.0);
    music.at = 102.0; // the music 2 s ahead adds a tenth of the gap
    EXPECT_NEAR(tick(0.02), 0.02 + 0.2, 1e-9);
    music.at = show_time - 1.0; // behind: the clock slows, even runs back
    EXPECT_NEAR(tick(0.02), 0.02 - 0.1, 1e-9);
    music.at = show_time + 2.0;
    music.ended = true; // played out: the clock runs on alone
    EXPECT_NEAR(tick(0.02), 0.02, 1e-9);
    music.ended = false;

    place_show_at(240.0); // 240 itself still pulls
    music.at = 242.0;
    EXPECT_NEAR(tick(0.02), 0.22, 1e-9);
    music.at = show_time + 2.0; // past 240 the clock runs free
    EXPECT_NEAR(tick(0.02), 0.02, 1e-9);
}

TEST_F(ShowRunGl, the_picture_follows_the_music_spectrum)
{
    // One scene time for each billboard program, and the title letters:
    // every one of them samples the spectrum.
    ASSERT_TRUE(open_test_show(run, 160, 90, 160, 90));
    for (const double t : {12.0, 60.0, 170.0, 190.0}) {
        const auto silent = frame_at(t, 0.0F);
        const auto loud = frame_at(t, 0.9F);
        const auto silent_again = frame_at(t, 0.0F);
        EXPECT_EQ(differing_pixels(silent, silent_again, 0), 0) << "the same frame twice at scene time " << t;
        EXPECT_GT(differing_pixels(silent, loud), 160 * 90 / 50)
            << "the music does not show at scene time " << t;
    }
}

TEST_F(ShowRunGl, a_forced_16_9_picture_sits_between_equal_black_bands)
{
    // 4:3 first, then the same window made 16:10: the 160 x 90 picture is
    // the same in both, centred, with black above and below.
    ASSERT_TRUE(open_test_show(run, 160, 120, 160, 90));
    const auto four_three = frame_at(60.0, 0.5F);
    ASSERT_GT(brightest(four_three), 100) << "a lit frame";
    EXPECT_EQ(brightest(rows(four_three, 160, 0, 15)), 0);
    EXPECT_EQ(brightest(rows(four_three, 160, 105, 15)), 0);
    const auto band = rows(four_three, 160, 15, 90);
    EXPECT_GT(brightest(rows(band, 160, 0, 45)), 0);
    EXPECT_GT(brightest(rows(band, 160, 45, 45)), 0);

    SDL_SetWindowSize(SDL_GL_GetCurrentWindow(), 160, 100);
    window_height = 100;
    int w = 0, h = 0;
    drawable_size(w, h);
    ASSERT_EQ(h, 100);
    const auto sixteen_ten = frame_at(60.0, 0.5F);
    EXPECT_EQ(brightest(rows(sixteen_ten, 160, 0, 5)), 0);
    EXPECT_EQ(brightest(rows(sixteen_ten, 160, 95, 5)), 0);
    EXPECT_EQ(differing_pixels(rows(sixteen_ten, 160, 5, 90), band, 0), 0);
}

namespace
{
// Sends a window event through SDL's queue and lets the program's message
// pump take it, after everything that was waiting before it.
void send_window_event(Uint8 event)
{
    while (pump_one_message(frame_info, render_targets) == PumpResult::handled) {
    }
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
    e.window.event = event;
    SDL_PushEvent(&e);
    while (pump_one_message(frame_info, render_targets) == PumpResult::handled) {
    }
}
} // namespace

TEST_F(ShowRunGl, the_first_tick_after_a_restore_carries_the_whole_pause)
{
    ASSERT_TRUE(open_test_show(run, 160, 90, 160, 90));
    place_show_at(50.0);
    music.ended = true; // no pull: the step is the clock's alone
    EXPECT_NEAR(tick(0.02), 0.02, 1e-9);
    send_window_event(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_FALSE(running) << "minimised, no tick runs";
    clock.advance(5.0); // five seconds out of sight
    send_window_event(SDL_WINDOWEVENT_RESTORED);
    EXPECT_TRUE(running);
    EXPECT_NEAR(tick(0.02), 5.02, 1e-9);
}

namespace
{
// The whole show through the message loop, each frame four seconds after
// the last (the clock moves on once a tick has taken its steps): it must
// present a black frame after the final fade and then exit by itself with
// status 0.
[[noreturn]] void run_show_to_its_end()
{
    static SteppedClock clock;
    static ScriptedMusic music;
    static ShowRun run{clock, music, false};
    if (!open_test_show(run, 160, 90, 160, 90)) {
        std::fprintf(stderr, "no window\n");
        std::_Exit(2);
    }
    double presented = -1.0; // the show time of the frame now on screen
    music.on_frame = [&] {
        clock.advance(4.0);
        music.at = show_time; // the music in step: no pull
        if (presented >= 248.0) {
            glReadBuffer(GL_FRONT);
            const int lit = brightest(read_back_frame_rgb(160, 90));
            glReadBuffer(GL_BACK);
            if (lit != 0) {
                std::fprintf(stderr, "not black at show time %.1f\n", presented);
                std::_Exit(3);
            }
            std::fprintf(stderr, "black at show time %.1f\n", presented);
        }
        presented = show_time;
    };
    message_loop();
    std::fprintf(stderr, "the window closed\n");
    std::_Exit(4);
}
using ShowRunDeathTest = WholeShowTest;
} // namespace

TEST_F(ShowRunDeathTest, the_message_loop_ends_the_show_after_251_s_with_status_0)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(run_show_to_its_end(), ::testing::ExitedWithCode(0), "black at show time 248.0\n$");
}
