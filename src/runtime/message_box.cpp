#include "runtime/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
MessageBoxHandler handler = nullptr;

bool messages_to_stderr_only()
{
    const char *v = std::getenv("VELLAMOR_MESSAGES");
    return v != nullptr && std::strcmp(v, "stderr") == 0;
}
} // namespace

void set_message_box_handler(MessageBoxHandler h)
{
    handler = h;
}

bool message_box(const std::string &text, const std::string &caption, MessageIcon icon,
                 MessageButtons buttons)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    if (handler != nullptr && !messages_to_stderr_only()) {
        const MessageBoxResult r = handler(text, caption, icon, buttons);
        if (r.shown)
            return buttons == MessageButtons::ok ? true : r.yes;
    }
    return buttons == MessageButtons::ok;
}
