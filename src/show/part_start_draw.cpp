#include "render/render_targets.h"
#include "show/part_start.h"

// Placeholder until the scene director lands: advances the clocks and draws
// a cleared frame, so the whole program runs end to end.
void part_start::draw(const double* step, RenderTargets& ctx, FrameInfo* info)
{
    ctx.frame_info = info;
    frame = *info;
    scene_time += *step;
    raw_time += *step;
    ++frame_counter;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    frame.parameters[FrameInfo::seek_target] = raw_time;
    *info = frame;
}
