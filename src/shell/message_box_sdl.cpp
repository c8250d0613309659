// The modal message boxes behind runtime/message_box.h, through SDL.
// Depends on: SDL2 (works before and after the video subsystem runs).
#include "shell/message_box_sdl.h"

#include "runtime/message_box.h"

#include <SDL.h>

#include <cstdio>

namespace
{
Uint32 icon_flags(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::stop:
        return SDL_MESSAGEBOX_ERROR;
    case MessageIcon::exclamation:
        return SDL_MESSAGEBOX_WARNING;
    case MessageIcon::information:
    case MessageIcon::question:
        return SDL_MESSAGEBOX_INFORMATION;
    }
    return SDL_MESSAGEBOX_INFORMATION;
}

MessageBoxResult show_sdl_message_box(const std::string &text, const std::string &caption, MessageIcon icon,
                                      MessageButtons buttons)
{
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "OK"}};
    const SDL_MessageBoxButtonData yes_no[] = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
                                               {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"}};
    const bool question = buttons == MessageButtons::yes_no;
    SDL_MessageBoxData data{};
    data.flags = icon_flags(icon);
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = question ? 2 : 1;
    data.buttons = question ? yes_no : ok;
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        std::fprintf(stderr, "message box not shown: %s\n", SDL_GetError());
        return {false, false};
    }
    return {true, pressed == 1};
}
} // namespace

void install_message_box_handler()
{
    set_message_box_handler(show_sdl_message_box);
}
