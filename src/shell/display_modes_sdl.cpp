// fill_mode_list: the primary display's modes as SDL reports them.
// Depends on: SDL2 video (initialised here when needed).
#include "shell/display_modes.h"
#include "shell/sdl_video.h"

#include <SDL.h>

void fill_mode_list()
{
    mode_list.clear();
    std::optional<DisplayMode> desktop;
    if (ensure_sdl_video()) {
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode m{};
            if (SDL_GetDisplayMode(0, i, &m) != 0)
                break;
            offer_mode(mode_list, {m.w, m.h});
        }
        SDL_DisplayMode d{};
        if (SDL_GetDesktopDisplayMode(0, &d) == 0)
            desktop = DisplayMode{d.w, d.h};
    }
    ensure_a_mode(mode_list, desktop);
}
