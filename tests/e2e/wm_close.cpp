// Asks a window to close the way a window manager does (WM_DELETE_WINDOW),
// for the end-to-end test: Xvfb runs without a window manager.
// Usage: e2e_wm_close WINDOW_ID
#include <X11/Xlib.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    Display *d = XOpenDisplay(nullptr);
    if (d == nullptr)
        return 1;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", True);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, e.xclient.window, False, NoEventMask, &e);
    XFlush(d);
    XCloseDisplay(d);
    return 0;
}
