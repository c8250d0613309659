// Where the rendered picture sits in the window: centred, so that a render
// size smaller than the window (full screen with a forced 16:9 picture on a
// display of another shape) leaves equal black bars on both sides.
// Pure, no GL.
#pragma once

struct Viewport {
    int x = 0, y = 0, width = 0, height = 0;
};

// A window size of 0 (or one smaller than the picture) puts the picture at
// the origin.
Viewport centred_viewport(int window_width, int window_height, int render_width, int render_height);

// Whether the picture covers every pixel of the window (no bars to clear).
bool fills_window(const Viewport &picture, int window_width, int window_height);
