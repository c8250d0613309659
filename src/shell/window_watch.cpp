#include "shell/window_watch.h"

// SDL's public headers leave the X11 parts of SDL_syswm.h out unless asked.
#ifndef SDL_VIDEO_DRIVER_X11
#define SDL_VIDEO_DRIVER_X11 1
#endif
#include <SDL.h>
#include <SDL_syswm.h>

namespace
{
Display *display = nullptr;
Window watched = 0;
bool destroyed = false;
XErrorHandler previous = nullptr;

int on_x_error(Display *d, XErrorEvent *e)
{
    if (watched != 0 && e->resourceid == watched) {
        destroyed = true; // BadWindow, BadDrawable, GLXBadDrawable on the window gone
        return 0;
    }
    return previous != nullptr ? previous(d, e) : 0;
}
} // namespace

void watch_window(SDL_Window *window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11)
        return;
    display = info.info.x11.display;
    watched = info.info.x11.window;
    destroyed = false;
    previous = XSetErrorHandler(on_x_error);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void stop_watching_window()
{
    if (display == nullptr)
        return;
    // The errors of the teardown's own requests on a window already gone
    // are still to come: take them before the handler goes.
    XSync(display, False);
    XSetErrorHandler(previous);
    SDL_EventState(SDL_SYSWMEVENT, SDL_IGNORE);
    display = nullptr;
    watched = 0;
    previous = nullptr;
}

bool window_destroyed()
{
    return destroyed;
}

bool is_window_destroyed_event(const SDL_Event &e)
{
    if (e.type != SDL_SYSWMEVENT || watched == 0 || e.syswm.msg == nullptr ||
        e.syswm.msg->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent &x = e.syswm.msg->msg.x11.event;
    if (x.type == DestroyNotify && x.xdestroywindow.window == watched)
        destroyed = true;
    return destroyed;
}
