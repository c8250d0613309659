// part_start::draw: the scene director. Every frame it advances the scene
// clock, uploads the spectrum, runs the top-view pass, sets the camera from
// the script, renders the particle scene into render set 0, runs the
// blooms, the combine pass, the soft blur's halo and the blur pass to the
// window and lays the timed fade over it.
// Everything but the clocks is rebuilt from scene_time each frame, so a
// frame drawn at the same scene time with the same spectrum is the same
// frame.
// Depends on: director_passes (the passes), the drawing interface,
// scene_clock, fade_cues, runtime/show_state.h (render and window sizes).
// GL thread only.
#include "render/render_targets.h"
#include "render/renderer.h"
#include "runtime/show_state.h"
#include "show/bloom_passes.h"
#include "show/director_passes.h"
#include "show/fade_cues.h"
#include "show/letterbox.h"
#include "show/part_start.h"
#include "show/scene_clock.h"
#include "show/top_view_plan.h"

void part_start::begin_draw(const double *step, RenderTargets &ctx, FrameInfo *info)
{
    ctx.frame_info = info;
    frame = *info;

    SceneClock clock{scene_time, raw_time};
    advance_scene_clock(clock, *step);
    scene_time = clock.scene_time;
    raw_time = clock.raw_time;
    ++frame_counter;
    billboard_program = billboard_program_for(scene_time);
}

void part_start::draw(const double *step, RenderTargets &ctx, FrameInfo *info)
{
    begin_draw(step, ctx, info);

    const int width = render_width;
    const int height = render_height;

    PassHook *const hook = pass_hook;
    auto pass = [hook](const char *name) {
        if (hook != nullptr)
            hook->pass_begins(name);
    };
    if (hook != nullptr)
        hook->frame_begins();

    auto r = renderer(ctx);
    r.push_state();
    pass("spectrum");
    upload_spectrum(r, frame);
    pass("top view");
    place_cameras_and_top_view(*this, ctx);
    pass("scene");
    scene_pass(*this, ctx, width, height);
    pass("glow bloom");
    glow_bloom_pass(*this, ctx, width, height);
    pass("combine");
    combine_pass(*this, ctx, width, height);
    pass("highlight bloom");
    highlight_bloom_pass(*this, ctx, width, height);
    pass("soft halo");
    soft_halo_pass(*this, ctx, width, height);
    pass("blur");
    blur_pass(*this, ctx, window_width, window_height,
              centred_viewport(window_width, window_height, width, height));
    pass("fade");
    reset_after_passes(r);
    fade_overlay(r, fade_alpha(scene_time, fade_in_cues, fade_out_cues));
    if (hook != nullptr)
        hook->frame_ends();

    r.colour(1.0f, 1.0f, 1.0f);
    r.set(Capability::texture_2d, true);
    r.matrix_mode(MatrixStack::modelview);
    r.load_identity();
    r.pop_state();
    r.flush();

    frame.parameters[FrameInfo::seek_target] = raw_time;
    *info = frame;
}

void part_start::bring_height_map_to(double t, RenderTargets &ctx)
{
    const double source = top_view_source_time(t);
    if (source == t)
        return; // the next draw's own pass fills the map
    const double kept = scene_time;
    scene_time = source;
    frame = FrameInfo{};
    auto r = renderer(ctx);
    r.push_state();
    draw_top_view(ctx);
    r.pop_state();
    scene_time = kept;
}
