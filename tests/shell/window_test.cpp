// The shell's window, message pump and clipboard against a real X server.
#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/message_box.h"
#include "runtime/show_state.h"
#include "shell/window.h"
#include "sound/music.h"

#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

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

// On X11 the clipboard text lives only as long as its owner: the captures
// are put there milliseconds before the program exits, so the text must
// outlive the process that set it (until another program takes it).
TEST_F(ShellWindow, clipboard_text_outlives_the_program_that_set_it)
{
    const std::string text = "Cam :0.,0.,0.  \nPnt :1.5,2.,-3.  \n \n";
    const pid_t program = fork();
    if (program == 0) {
        const bool copied =
            window_open("clipboard test", 160, 90, 32, false, nullptr) && copy_to_clipboard(text) == 1;
        window_close();
        _exit(copied ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(program, &status, 0), program);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    ASSERT_TRUE(window_open("shell test", 160, 90, 32, false, nullptr));
    char *pasted = SDL_GetClipboardText();
    EXPECT_EQ(std::string(pasted), text);
    SDL_free(pasted);
    // Another program takes the clipboard: its text is served from then on.
    ASSERT_EQ(SDL_SetClipboardText("taken"), 0);
    pasted = SDL_GetClipboardText();
    EXPECT_STREQ(pasted, "taken");
    SDL_free(pasted);
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

// Every exit after a display-mode switch restores the desktop mode exactly
// once: the normal close, and the start-up failures that exit from inside
// the set-up (no sound device, no soundtrack, a missing picture). Each case
// runs in a fresh process; restores are counted through the shell's seam
// and reported by an exit hook registered before the window opens, so it
// runs after the shell's own.
namespace
{
int restores = 0;
void count_restore()
{
    ++restores;
}
void report_restores()
{
    std::fprintf(stderr, "restores %d\n", restores);
}

void open_full_screen(StartUpHook start_up)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    SDL_DisplayMode desktop{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    std::atexit(report_restores);
    set_desktop_restore(count_restore);
    if (window_open("shell test", desktop.w, desktop.h, 32, true, start_up))
        std::fprintf(stderr, "full screen: %d\n", fullscreen ? 1 : 0);
}

void missing_picture()
{
    static RenderTargets ctx; // too large for the stack
    ctx.load_texture(TextureNumber{3}, "no-such-picture.jpg");
}
void missing_soundtrack()
{
    music_start(); // the test's working folder has no music
}
void no_sound_device()
{
    setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
    music_start();
}
} // namespace

TEST(DesktopRestoreDeathTest, start_up_failures_restore_the_desktop_mode_once)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(open_full_screen(missing_picture), ::testing::ExitedWithCode(0),
                "Jpg: no-such-picture\\.jpg\n.*restores 1\n$");
    EXPECT_EXIT(open_full_screen(missing_soundtrack), ::testing::ExitedWithCode(0),
                "No sound file.*restores 1\n$");
    EXPECT_EXIT(open_full_screen(no_sound_device), ::testing::ExitedWithCode(1),
                "Program will now exit.*restores 1\n$");
}

TEST(DesktopRestoreDeathTest, close_restores_once_and_a_window_restores_nothing)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            open_full_screen(nullptr);
            window_close();
            window_close();
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "full screen: 1\n.*restores 1\n$");
    EXPECT_EXIT(
        {
            std::atexit(report_restores);
            set_desktop_restore(count_restore);
            window_open("shell test", 160, 90, 32, false, nullptr);
            std::exit(4);
        },
        ::testing::ExitedWithCode(4), "restores 0\n$");
}
