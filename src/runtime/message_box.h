// Message boxes, reachable from every module without a window dependency.
//
// The text always goes to standard error as well ("caption: text"), so a
// message is never lost (Wayland without zenity, no display, CI). The shell
// installs the real, modal handler; without one, or with the environment
// variable VELLAMOR_MESSAGES=stderr, a question answers No and nothing waits.
#pragma once

#include <string>

enum class MessageIcon { information, exclamation, stop, question };
enum class MessageButtons { ok, yes_no };

// Returns true when the viewer answered Yes (always true for an OK box that
// was shown, false for a Yes/No box that could not be shown).
bool message_box(const std::string &text, const std::string &caption, MessageIcon icon,
                 MessageButtons buttons = MessageButtons::ok);

// The shell's modal implementation; returns false when it could not show
// the box (the caller then answers as if no display were there).
struct MessageBoxResult {
    bool shown;
    bool yes;
};
using MessageBoxHandler = MessageBoxResult (*)(const std::string &text, const std::string &caption,
                                               MessageIcon icon, MessageButtons buttons);
void set_message_box_handler(MessageBoxHandler handler);
