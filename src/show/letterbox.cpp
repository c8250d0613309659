#include "show/letterbox.h"

#include <algorithm>

Viewport centred_viewport(int window_width, int window_height, int render_width, int render_height)
{
    return {std::max(0, (window_width - render_width) / 2), std::max(0, (window_height - render_height) / 2),
            render_width, render_height};
}

bool fills_window(const Viewport &picture, int window_width, int window_height)
{
    return picture.x <= 0 && picture.y <= 0 && picture.x + picture.width >= window_width &&
           picture.y + picture.height >= window_height;
}
