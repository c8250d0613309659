// driver_shows_windows: the pure half of the display check (see
// display_presence.h); check_live_display is in sdl_video.cpp.
#include "shell/display_presence.h"

bool driver_shows_windows(const std::string &driver, const std::string &requested)
{
    if (driver.empty())
        return false;
    if (driver == requested)
        return true;
    return driver != "offscreen" && driver != "dummy";
}
