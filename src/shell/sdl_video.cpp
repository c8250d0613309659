// Starts SDL video once, with the hints the show relies on, and says
// whether its driver shows windows.
// Depends on: SDL2.
#include "shell/sdl_video.h"
#include "shell/display_presence.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace
{
bool offscreen_wanted = false;

bool set_in_environment(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}
} // namespace

void prefer_offscreen_video()
{
    if (set_in_environment("DISPLAY") || set_in_environment("WAYLAND_DISPLAY") ||
        set_in_environment("SDL_VIDEODRIVER"))
        return;
    offscreen_wanted = true;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
}

bool on_offscreen_video()
{
    const char *driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && SDL_strcmp(driver, "offscreen") == 0;
}

bool ensure_sdl_video()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        return true;
    // A full-screen show must not vanish when another monitor takes focus.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
        return false;
    }
    // Starting SDL video a second time in a process after a GL context has
    // been used can skip X11 and land on the invisible "offscreen" driver
    // (SDL 2.26, every other start). Nobody asks for that one by default:
    // one more start picks the real display again.
    if (on_offscreen_video() && !offscreen_wanted && SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
            return false;
        }
    }
    return true;
}

DisplayCheck check_live_display()
{
    DisplayCheck check;
    if (!ensure_sdl_video())
        return check;
    const char *driver = SDL_GetCurrentVideoDriver();
    check.driver = driver != nullptr ? driver : "";
    const char *requested = offscreen_wanted ? "offscreen" : SDL_getenv("SDL_VIDEODRIVER");
    check.available = driver_shows_windows(check.driver, requested != nullptr ? requested : "");
    return check;
}
