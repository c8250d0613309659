// SDL's video subsystem, started on first use by whichever shell step needs
// it first (mode list, dialog, window). Shell-internal.
#pragma once

// True when SDL video is (now) initialised; the SDL error goes to stderr
// otherwise.
bool ensure_sdl_video();

// True when SDL runs on its offscreen driver (no display; GL via EGL).
bool on_offscreen_video();
