// The shell's window, message pump and clipboard against a real X server.
#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/message_box.h"
#include "runtime/show_state.h"
#include "shell/window.h"

#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace
{
int start_ups = 0;
void count_start_up()
{
    ++start_ups;
}

MessageBoxResult answer_yes(const std::string &, const std::string &, MessageIcon, MessageButtons)
{
    return {true, true};
}

struct ShellWindow : ::testing::Test {
    void SetUp() override
    {
        start_ups = 0;
        setenv("VELLAMOR_MESSAGES", "stderr", 1);
    }
    void TearDown() override
    {
        window_close();
        set_message_box_handler(nullptr);
        setenv("VELLAMOR_MESSAGES", "stderr", 1);
    }
    static void expect_perspective_45(double aspect)
    {
        GLdouble p[16];
        glGetDoublev(GL_PROJECTION_MATRIX, p);
        const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
        EXPECT_NEAR(p[5], f, 1e-5);
        EXPECT_NEAR(p[0], f / aspect, 1e-5);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
    }
};
} // namespace

TEST_F(ShellWindow, windowed_open_sets_viewport_state_and_runs_start_up_once)
{
    ASSERT_TRUE(window_open("shell test", 320, 180, 32, false, count_start_up));
    EXPECT_EQ(start_ups, 1);
    int w = 0, h = 0;
    drawable_size(w, h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 180);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 180);
    expect_perspective_45(320.0 / 180.0);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[3], 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint depth_func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
    EXPECT_EQ(depth_func, GL_LEQUAL);
    GLint depth_bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
    EXPECT_GE(depth_bits, 24);

    window_resize(200, 0); // a zero height counts as one
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1);
    expect_perspective_45(200.0);
}

TEST_F(ShellWindow, refused_full_screen_with_answer_no_closes)
{
    // No display mode of the virtual screen is 333 x 177: the switch fails,
    // the headless question answers No.
    EXPECT_FALSE(window_open("shell test", 333, 177, 32, true, count_start_up));
    EXPECT_EQ(start_ups, 0);
    int w = -1, h = -1;
    drawable_size(w, h);
    EXPECT_EQ(w, 0); // the window is gone
}

TEST_F(ShellWindow, refused_full_screen_with_answer_yes_goes_windowed)
{
    unsetenv("VELLAMOR_MESSAGES");
    set_message_box_handler(answer_yes);
    ASSERT_TRUE(window_open("shell test", 333, 177, 32, true, count_start_up));
    EXPECT_FALSE(fullscreen);
    EXPECT_EQ(start_ups, 1);
    int w = 0, h = 0;
    drawable_size(w, h);
    EXPECT_EQ(w, 333);
    EXPECT_EQ(h, 177);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(ShellWindow, pump_feeds_the_window_procedure_and_ends_on_close)
{
    ASSERT_TRUE(window_open("shell test", 160, 90, 32, false, nullptr));
    auto ctx = std::make_unique<RenderTargets>();
    FrameInfo info;
    while (pump_one_message(info, *ctx) != PumpResult::idle) {
    }
    key_state.fill(0);
    wheel_total = 0;

    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = -1;
    e.wheel.preciseY = -1.0f;
    SDL_PushEvent(&e);
    EXPECT_EQ(pump_one_message(info, *ctx), PumpResult::handled);
    EXPECT_EQ(key_state[vk::escape], 1);
    EXPECT_EQ(pump_one_message(info, *ctx), PumpResult::handled);
    EXPECT_EQ(wheel_total, -1);
    EXPECT_EQ(pump_one_message(info, *ctx), PumpResult::idle);

    e = {};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    EXPECT_EQ(pump_one_message(info, *ctx), PumpResult::quit);
}

TEST_F(ShellWindow, clipboard_takes_the_text_even_when_empty)
{
    ASSERT_TRUE(window_open("shell test", 160, 90, 32, false, nullptr));
    EXPECT_EQ(copy_to_clipboard("Cam :0.,0.,0.  \n"), 1);
    char *text = SDL_GetClipboardText();
    EXPECT_STREQ(text, "Cam :0.,0.,0.  \n");
    SDL_free(text);
    EXPECT_EQ(copy_to_clipboard(""), 1);
}

TEST_F(ShellWindow, full_screen_at_the_desktop_mode_switches_and_hides_the_cursor)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    SDL_DisplayMode desktop{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    ASSERT_TRUE(window_open("shell test", desktop.w, desktop.h, 32, true, count_start_up));
    EXPECT_TRUE(fullscreen);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    window_close();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}
