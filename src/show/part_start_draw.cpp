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
#include "show/camera_record.h"
#include "show/director_passes.h"
#include "show/fade_cues.h"
#include "show/frame_plan.h"
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

void part_start::draw_pass(FramePass pass, const FramePlan &plan, Renderer &r, RenderTargets &ctx)
{
    switch (pass) {
    case FramePass::spectrum:
        upload_spectrum(r, plan);
        return;
    case FramePass::top_view:
        // The cameras go into the render context's records around the top
        // view, as the director has always set them.
        ctx.second_camera = to_camera_record(plan.second_camera);
        draw_top_view(ctx, plan.top_view);
        fill_fade_cues(fade_in_cues, fade_out_cues);
        ctx.main_camera = to_camera_record(plan.main_camera);
        return;
    case FramePass::scene:
        scene_pass(r, plan, [&] { draw_particle_scene(ctx, plan, 0, 0); });
        return;
    case FramePass::glow_bloom:
        draw_screen_steps(r, plan.glow_bloom);
        return;
    case FramePass::combine:
        combine_pass(r, plan);
        return;
    case FramePass::highlight_bloom:
        draw_screen_steps(r, plan.highlight_bloom);
        return;
    case FramePass::soft_halo:
        draw_screen_steps(r, {plan.soft_halo});
        return;
    case FramePass::blur:
        blur_pass(r, plan);
        return;
    case FramePass::fade:
        reset_after_passes(r);
        fade_overlay(r, plan);
        return;
    }
}

void part_start::draw(const double *step, RenderTargets &ctx, FrameInfo *info)
{
    begin_draw(step, ctx, info);

    // Decide, then draw: the whole frame as values, then each pass hands
    // its part of them to the drawing interface.
    const FramePlan plan =
        plan_frame(scene_time, frame, render_width, render_height, window_width, window_height, features);

    PassHook *const hook = pass_hook;
    if (hook != nullptr)
        hook->frame_begins();

    auto r = renderer(ctx);
    r.push_state();
    for (const FramePass pass : plan.passes) {
        if (hook != nullptr)
            hook->pass_begins(pass_name(pass));
        draw_pass(pass, plan, r, ctx);
    }
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
    draw_top_view(ctx, plan_top_view(scene_time));
    r.pop_state();
    scene_time = kept;
}
