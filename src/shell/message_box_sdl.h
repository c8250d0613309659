// Installs the SDL message box as the handler of runtime/message_box.h.
#pragma once

void install_message_box_handler();
