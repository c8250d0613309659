// Destroys a window from another client, as a window manager's force-close
// or `xdotool windowclose` does (no WM_DELETE_WINDOW request first).
// Usage: e2e_destroy_window WINDOW_ID
#include <X11/Xlib.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    Display *d = XOpenDisplay(nullptr);
    if (d == nullptr)
        return 1;
    XDestroyWindow(d, static_cast<Window>(std::strtoul(argv[1], nullptr, 0)));
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
