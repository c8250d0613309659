// SDL key codes to Windows virtual-key codes, the index of key_state.
#pragma once

#include <SDL_keycode.h>

// 0 for keys the show has no code for (they are ignored).
int virtual_key(SDL_Keycode key);
