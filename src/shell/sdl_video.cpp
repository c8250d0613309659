// Starts SDL video once, with the hints the show relies on.
// Depends on: SDL2.
#include "shell/sdl_video.h"

#include <SDL.h>

#include <cstdio>

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
    return true;
}
