// The message pump: SDL events translated into window-procedure messages.
// Keys are indexed by Windows virtual-key codes so every key table of the
// show reads the same on every platform.
// Depends on: SDL2, window_procedure.h, window.h.
#include "render/render_targets.h"
#include "shell/sdl_keys.h"
#include "shell/window.h"
#include "shell/window_procedure.h"
#include "shell/window_watch.h"

#include <SDL.h>

#include <cmath>

namespace
{
// The wheel in 1/120 notch units; SDL's precise value keeps half notches.
int wheel_delta(const SDL_MouseWheelEvent &w)
{
    const double notches = w.preciseY != 0.0f ? static_cast<double>(w.preciseY) : w.y;
    const double sign = w.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0 : 1.0;
    return static_cast<int>(std::lround(sign * notches * 120.0));
}

WindowMessage translate(const SDL_Event &e)
{
    WindowMessage m;
    switch (e.type) {
    case SDL_QUIT:
        m.kind = MessageKind::close;
        break;
    case SDL_SYSWMEVENT:
        // The window destroyed by another program: a close.
        if (is_window_destroyed_event(e))
            m.kind = MessageKind::close;
        break;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            m.kind = MessageKind::close;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            m.kind = MessageKind::size;
            drawable_size(m.width, m.height);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            m.kind = MessageKind::activate;
            m.minimised = true;
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST: {
            // Focus changes report the minimised state too, like an activation.
            SDL_Window *w = SDL_GetWindowFromID(e.window.windowID);
            m.kind = MessageKind::activate;
            m.minimised = w != nullptr && (SDL_GetWindowFlags(w) & SDL_WINDOW_MINIMIZED) != 0 &&
                          e.window.event != SDL_WINDOWEVENT_RESTORED &&
                          e.window.event != SDL_WINDOWEVENT_MAXIMIZED;
            break;
        }
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        m.kind = e.type == SDL_KEYDOWN ? MessageKind::key_down : MessageKind::key_up;
        m.key = virtual_key(e.key.keysym.sym);
        break;
    case SDL_MOUSEWHEEL:
        m.kind = MessageKind::mouse_wheel;
        m.wheel_delta = wheel_delta(e.wheel);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        if (e.button.button == SDL_BUTTON_LEFT)
            m.kind = down ? MessageKind::left_down : MessageKind::left_up;
        else if (e.button.button == SDL_BUTTON_RIGHT)
            m.kind = down ? MessageKind::right_down : MessageKind::right_up;
        else if (e.button.button == SDL_BUTTON_MIDDLE && down)
            m.kind = MessageKind::middle_down;
        break;
    }
    default:
        break;
    }
    return m;
}
} // namespace

PumpResult pump_one_message(FrameInfo &info, const RenderTargets &ctx, int wait_ms,
                            std::vector<int> *key_downs)
{
    // A window destroyed by another program ends the loop even when its
    // DestroyNotify has not come through yet (a drawing call failed first).
    if (window_destroyed())
        return PumpResult::quit;
    SDL_Event e;
    const int got = wait_ms > 0 ? SDL_WaitEventTimeout(&e, wait_ms) : SDL_PollEvent(&e);
    if (got == 0)
        return PumpResult::idle;
    const WindowMessage m = translate(e);
    if (key_downs != nullptr && m.kind == MessageKind::key_down && m.key != 0)
        key_downs->push_back(m.key);
    switch (window_procedure(m, info, ctx.main_camera)) {
    case MessageResult::quit:
        return PumpResult::quit;
    case MessageResult::resize:
        window_resize(m.width, m.height);
        break;
    case MessageResult::handled:
    case MessageResult::tail:
        break;
    }
    return PumpResult::handled;
}
