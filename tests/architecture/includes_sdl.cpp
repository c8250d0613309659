// Compiled as a file of one module: builds only where SDL is allowed.
#include <SDL.h>

int sdl_probe()
{
    return SDL_WasInit(0) == 0 ? 0 : 1;
}
