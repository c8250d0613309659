// The debug console. A Linux process already has its standard streams, so
// "opening the console" means: standard output and error unbuffered and in
// step with the C++ streams, so lines come out in program order. Without
// command-line text the show's standard output is discarded instead (the
// seek lines and shader messages are then lost, as designed); the original
// output is kept aside for the capture text, which must never be lost.
// Depends on: POSIX file descriptors. Call before the window opens.
#pragma once

#include <string>

void open_debug_console();

// Points standard output at /dev/null, keeping the original descriptor.
void discard_standard_output();

// Writes `text` to the process's original standard output, even when the
// show's own output is discarded; flushed.
void write_to_original_output(const std::string &text);
