// Keeps a text on the X11 CLIPBOARD after the program ends.
//
// On X11 the clipboard is a promise: its owner hands the text over when
// another program asks, so it dies with the process that set it. Like the
// command-line clipboard tools, a small child process takes the CLIPBOARD
// selection and keeps serving it until another program takes ownership (or
// the display goes away), then ends by itself.
//
// Depends on: Xlib, POSIX fork. Limits: X11 only (Wayland keeps the text
// only while the program runs); text as UTF8_STRING, STRING or TEXT.
#pragma once

#include <string>

// Starts the serving child for `text` on the display named by DISPLAY.
// False when there is no X display or the child could not be started.
bool serve_clipboard_after_exit(const std::string &text);
