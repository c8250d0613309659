// Another program may destroy the show's window behind its back (a window
// manager's force-close, `xdotool windowclose`, XDestroyWindow): on X11 the
// next drawing call would then fail with BadDrawable, whose default handler
// ends the process with status 1. The watch takes the X errors that name
// the show's window, and its DestroyNotify event, as the window's close:
// the message loop ends as on a close request and the teardown runs.
// Elsewhere than X11 it does nothing. Shell-internal; main thread only.
#pragma once

union SDL_Event;
struct SDL_Window;

// Starts watching `window` (X11 only); the previous X error handler keeps
// every error that names another resource.
void watch_window(SDL_Window *window);
// After the window is destroyed: takes the errors still on their way and
// puts the previous handler back.
void stop_watching_window();
// True once the window system has destroyed the window.
bool window_destroyed();
// True when `e` reports the watched window's destruction (it is then
// recorded for window_destroyed()).
bool is_window_destroyed_event(const SDL_Event &e);
