#include "show/part_start.h"

// Placeholder until the show's set-up lands: resets the clocks only.
void part_start::setup(RenderTargets&)
{
    scene_time = 0.0;
    raw_time = 0.0;
    frame_counter = 0;
    texture_base = 0;
}
