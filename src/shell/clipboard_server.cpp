// The X11 clipboard server of clipboard_server.h: a forked child with its
// own display connection. It never returns into the program: it leaves with
// _exit, so the program's exit hooks (the display-mode restore, SDL's
// clean-up) run only in the program itself.
#include "shell/clipboard_server.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace
{
// A lost display ends the server; Xlib would otherwise call exit.
int display_gone(Display *)
{
    _exit(0);
}

void answer(Display *display, const XSelectionRequestEvent &request, const std::string &text, Atom targets,
            Atom utf8)
{
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    // Old clients name no property: the target stands in for it.
    reply.property = request.property != None ? request.property : request.target;
    const Atom text_atom = XInternAtom(display, "TEXT", False);
    if (request.target == targets) {
        const Atom offered[] = {targets, utf8, XA_STRING, text_atom};
        XChangeProperty(display, request.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(offered), 4);
    } else if (request.target == utf8 || request.target == XA_STRING || request.target == text_atom) {
        const Atom type = request.target == XA_STRING ? XA_STRING : utf8;
        XChangeProperty(display, request.requestor, reply.property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(text.data()), static_cast<int>(text.size()));
    } else {
        reply.property = None; // a form we do not offer
    }
    XSendEvent(display, request.requestor, False, 0, reinterpret_cast<XEvent *>(&reply));
    XFlush(display);
}

// Serves `text`; says "ready" on `ready_fd` once it owns the clipboard.
[[noreturn]] void serve(const std::string &text, int ready_fd)
{
    XSetIOErrorHandler(display_gone);
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        _exit(1);
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom targets = XInternAtom(display, "TARGETS", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XSetSelectionOwner(display, clipboard, window, CurrentTime);
    if (XGetSelectionOwner(display, clipboard) != window)
        _exit(1);
    const char ready = 1;
    if (write(ready_fd, &ready, 1) != 1)
        _exit(1);
    close(ready_fd);
    for (;;) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == SelectionClear)
            _exit(0); // another program owns the clipboard now
        if (e.type == SelectionRequest)
            answer(display, e.xselectionrequest, text, targets, utf8);
    }
}
} // namespace

bool serve_clipboard_after_exit(const std::string &text)
{
    const char *name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0')
        return false;
    // The server says when it owns the clipboard, so that a paste right
    // after this call finds it.
    int ready[2];
    if (pipe(ready) != 0)
        return false;
    // Forked twice, so the server is nobody's child to wait for and the
    // program's parent sees it end on time.
    const pid_t first = fork();
    if (first < 0) {
        close(ready[0]);
        close(ready[1]);
        return false;
    }
    if (first == 0) {
        setsid();
        if (fork() != 0)
            _exit(0);
        // Nothing of the program's stays open: a caller that reads its
        // output to the end must not wait for the clipboard.
        const int null = open("/dev/null", O_RDWR);
        for (int fd = 0; fd < 3; ++fd)
            dup2(null, fd);
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != ready[1])
                close(fd);
        serve(text, ready[1]);
    }
    close(ready[1]);
    waitpid(first, nullptr, 0);
    pollfd wait_for{ready[0], POLLIN, 0};
    char answer_byte = 0;
    const bool served = poll(&wait_for, 1, 2000) == 1 && read(ready[0], &answer_byte, 1) == 1;
    close(ready[0]);
    return served;
}
