// The show's window and GL context: open (windowed at (50, 50) or full
// screen as a real display-mode switch, with a windowed fallback on the
// viewer's word), resize, present, close; and the message pump that feeds
// the window procedure.
//
// Depends on: SDL2 video, GL/GLU, runtime/message_box.h for every failure
// message. Main thread only; the context stays current until window_close.
#pragma once

#include <string>
#include <vector>

struct FrameInfo;
class RenderTargets;

using StartUpHook = void (*)();

// Opens the window with a double-buffered compatibility GL context (24-bit
// depth), sets the viewport and the initial GL state, then runs `start_up`
// (the show's whole start-up, before the message loop). A full-screen
// request whose mode switch fails asks whether to go windowed; `fullscreen`
// (runtime/show_state.h) is cleared then. False after a failure message.
bool window_open(const char *title, int width, int height, int bits, bool full_screen, StartUpHook start_up);

// For runs that need no display (stills, exports): when neither DISPLAY
// nor WAYLAND_DISPLAY (nor SDL_VIDEODRIVER) is set, the next window is made
// by SDL's offscreen driver, a single-buffered EGL surface with the same
// compatibility-profile GL. Call before the window opens.
void prefer_offscreen_video();

// Viewport (height 0 counts as 1) and a 45-degree perspective, near 0.1,
// far 100; leaves the modelview matrix selected and reset.
void window_resize(int width, int height);

// Smooth shading, clear colour (0, 0, 0, 0.5), depth test LEQUAL, nicest
// perspective hint; then `start_up`. Always reports success.
bool gl_state_init(StartUpHook start_up);

// Restores the desktop mode and releases context and window; safe to call
// at any point and more than once. Failures are reported and skipped.
void window_close();

// How the desktop's display mode is put back after a full-screen switch
// (SDL by default). Every way out after a switch runs it exactly once:
// window_close, or an exit hook when the process exits with the window
// still open (the start-up's failures exit from inside the set-up). Tests
// replace it to count restores; null puts SDL's back.
using DesktopRestore = void (*)();
void set_desktop_restore(DesktopRestore restore);

// Presents the back buffer (no-op without a window).
void swap_buffers();

// The SDL window (opaque; null without one), for RenderTargets.
void *window_handle();

// The window's drawable size in pixels (0, 0 without a window).
void drawable_size(int &width, int &height);

// One turn of the message pump: takes at most one event and runs the
// window procedure on it. With `wait_ms` above 0 it waits that long for an
// event before reporting idle (the loop uses it while minimised, so a
// hidden show does not spin a core).
// With `key_downs` (author mode) every key-down's virtual-key code is also
// appended there, held-key repeats included, so the loop sees each press
// even when its key-up arrives in the same batch of events.
enum class PumpResult { idle, handled, quit };
PumpResult pump_one_message(FrameInfo &info, const RenderTargets &ctx, int wait_ms = 0,
                            std::vector<int> *key_downs = nullptr);

// Puts `text` on the clipboard as plain text; 1 on success, 0 on failure.
// On X11 the text stays pasteable after the program ends (a small child
// serves it until another program takes the clipboard).
int copy_to_clipboard(const std::string &text);
