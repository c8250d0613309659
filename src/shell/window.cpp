// The show's window: SDL window with a GL 2 compatibility context, the
// full-screen mode switch with its windowed fallback, viewport and
// projection, initial GL state, buffer swaps, the clipboard and teardown.
//
// Depends on: SDL2 video, GL/GLU (through GLEW's header), show_state.h,
// message_box.h. Limits: one window per process.
#include "shell/window.h"

#include "runtime/message_box.h"
#include "runtime/show_state.h"
#include "shell/clipboard_server.h"
#include "shell/sdl_video.h"
#include "shell/window_watch.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace
{
SDL_Window *window = nullptr;
SDL_GLContext context = nullptr;
bool mode_switched = false; // the display mode must be restored at close

// The shell's seam for putting the desktop's mode back (tests count calls).
void restore_with_sdl()
{
    if (window != nullptr)
        SDL_SetWindowFullscreen(window, 0);
    SDL_ShowCursor(SDL_ENABLE);
}
DesktopRestore desktop_restore = restore_with_sdl;

// Once per switch: from window_close, or from the exit hook when the process
// exits with the window still open. On X11 a mode change outlives the
// process, and the start-up's failures (no sound device, a missing
// soundtrack or picture) exit from deep inside the set-up.
void restore_desktop_mode()
{
    if (!mode_switched)
        return;
    mode_switched = false;
    desktop_restore();
}

void error_message(const char *text)
{
    message_box(text, "ERROR", MessageIcon::exclamation);
}
void shutdown_message(const char *text)
{
    message_box(text, "SHUTDOWN ERROR", MessageIcon::information);
}

// An exact w x h mode of the window's display, at any depth and refresh rate.
bool find_exact_mode(int width, int height, SDL_DisplayMode &out)
{
    const int display = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
    const int count = SDL_GetNumDisplayModes(display < 0 ? 0 : display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(display < 0 ? 0 : display, i, &m) == 0 && m.w == width && m.h == height) {
            out = m;
            return true;
        }
    }
    return false;
}

// A real display-mode switch: succeeds only when the display ends up in
// exactly the requested mode (some servers refuse or fake the switch).
bool switch_to_full_screen(int width, int height)
{
    SDL_DisplayMode mode{};
    if (!find_exact_mode(width, height, mode))
        return false;
    if (SDL_SetWindowDisplayMode(window, &mode) != 0)
        return false;
    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0)
        return false;
    SDL_DisplayMode now{};
    if (SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(window), &now) != 0 || now.w != width ||
        now.h != height) {
        SDL_SetWindowFullscreen(window, 0);
        return false;
    }
    return true;
}
} // namespace

bool window_open(const char *title, int width, int height, int bits, bool full_screen, StartUpHook start_up)
{
    fullscreen = full_screen;
    if (!ensure_sdl_video()) {
        error_message("Failed To Register The Window Class.");
        return false;
    }

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    const int channel = bits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    // No window alpha: a compositor would show the desktop through a window
    // cleared to alpha 0.5.
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);

    // Created hidden at the requested client size; SDL sizes the frame.
    window = SDL_CreateWindow(title, 50, 50, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        std::fprintf(stderr, "SDL window: %s\n", SDL_GetError());
        window_close();
        error_message("Window Creation Error.");
        return false;
    }
    watch_window(window);

    if (fullscreen) {
        // Some SDL video drivers apply full screen to shown windows only.
        SDL_ShowWindow(window);
        if (switch_to_full_screen(width, height)) {
            mode_switched = true;
            static const bool exit_hook = std::atexit(restore_desktop_mode) == 0;
            if (!exit_hook)
                std::fprintf(stderr, "the desktop mode is restored only by closing the window\n");
            SDL_ShowCursor(SDL_DISABLE);
        } else if (message_box("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
                               "Use Windowed Mode Instead?",
                               "ZVX GL ;-)", MessageIcon::exclamation, MessageButtons::yes_no)) {
            fullscreen = false;
            SDL_SetWindowPosition(window, 50, 50);
            SDL_SetWindowSize(window, width, height);
        } else {
            message_box("Program Will Now Close.", "ERROR", MessageIcon::stop);
            window_close();
            return false;
        }
    }

    context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        std::fprintf(stderr, "SDL GL context: %s\n", SDL_GetError());
        window_close();
        error_message("Can't Create A GL Rendering Context.");
        return false;
    }
    if (SDL_GL_MakeCurrent(window, context) != 0) {
        window_close();
        error_message("Can't Activate The GL Rendering Context.");
        return false;
    }
    // Only a format that is known to fall short is refused: some drivers
    // cannot answer the query at all.
    int double_buffered = 1, depth_bits = 24;
    const bool known = SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &double_buffered) == 0 &&
                       SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth_bits) == 0;
    // The offscreen driver's surface has one buffer; nothing is shown there.
    if (known && ((double_buffered == 0 && !on_offscreen_video()) || depth_bits < 16)) {
        window_close();
        error_message("Can't Find A Suitable PixelFormat (1).");
        return false;
    }
    // Vsync where the driver allows it; Xvfb and some drivers refuse.
    SDL_GL_SetSwapInterval(1);
    SDL_DisableScreenSaver();

    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);

    // The drawable, not the window: high-DPI screens have more pixels.
    int w = width, h = height;
    drawable_size(w, h);
    window_resize(w, h);
    return gl_state_init(start_up);
}

void window_resize(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / height, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool gl_state_init(StartUpHook start_up)
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    if (start_up != nullptr)
        start_up();
    return true;
}

void window_close()
{
    restore_desktop_mode();
    if (context != nullptr) {
        if (SDL_GL_MakeCurrent(window, nullptr) != 0)
            shutdown_message("Release Of DC And RC Failed.");
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    if (window != nullptr) {
        SDL_DestroyWindow(window);
        window = nullptr;
        stop_watching_window();
    }
    // SDL video itself stays up until the process ends: the clipboard and
    // message boxes may still need it, and starting it again can land on a
    // different video driver.
}

void set_desktop_restore(DesktopRestore restore)
{
    desktop_restore = restore != nullptr ? restore : restore_with_sdl;
}

void swap_buffers()
{
    if (window != nullptr)
        SDL_GL_SwapWindow(window);
}

void *window_handle()
{
    return window;
}

void drawable_size(int &width, int &height)
{
    if (window == nullptr) {
        width = height = 0;
        return;
    }
    SDL_GL_GetDrawableSize(window, &width, &height);
}

int copy_to_clipboard(const std::string &text)
{
    if (!ensure_sdl_video())
        return 0;
    // On X11 the text would go with the process, which ends right after
    // this: a child keeps serving it (SDL's copy serves until then).
    const char *driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && SDL_strcmp(driver, "x11") == 0 && serve_clipboard_after_exit(text))
        return 1;
    return SDL_SetClipboardText(text.c_str()) == 0 ? 1 : 0;
}
