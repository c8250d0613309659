// The set-up's load failures as the user reads them: one line per file on
// standard error ("textures/noise.jpg: not a JPEG file (empty)").
// Depends on: render/load_failures.h.
#pragma once

#include "render/load_failures.h"

#include <string>

// Writes each failure; with `run` ("still", "record") and at least one
// failure, a last line saying that nothing was written. True when there
// was none.
bool report_load_failures(const LoadFailures &failures, const char *run = nullptr);

// "not enough memory for WxH", the words of every run that ran out.
std::string not_enough_memory(int width, int height);
