// Whether the live show has a display to show its window on.
//
// Without DISPLAY and WAYLAND_DISPLAY (ssh, a text console, CI) SDL falls
// back to its invisible "offscreen" driver, or "dummy": a window opened
// there is seen by nobody, and the set-up dialog would wait forever for a
// click. The live show refuses those drivers unless SDL_VIDEODRIVER names
// them; rendering without a display is the still renderer's job.
//
// Depends on: SDL2 video (check_live_display only). Main thread.
#pragma once

#include <string>

// True for a driver that shows windows to someone, and for any driver the
// user asked for by name (`requested`, from SDL_VIDEODRIVER; may be empty).
bool driver_shows_windows(const std::string &driver, const std::string &requested);

struct DisplayCheck {
    bool available = false;
    std::string driver; // SDL's video driver, empty when SDL video did not start
};

// Starts SDL video (if it is not running yet) and says whether its driver
// shows windows.
DisplayCheck check_live_display();
