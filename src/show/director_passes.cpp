#include "show/director_passes.h"

#include "render/renderer.h"
#include "runtime/frame_info.h"
#include "runtime/show_state.h"
#include "show/bloom_passes.h"
#include "show/camera_record.h"
#include "show/camera_script.h"
#include "show/fade_cues.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "show/scene_clock.h"
#include "show/screen_passes.h"

namespace
{

// With identity matrices the camera-facing quad covers the whole target.
void full_screen_quad(Renderer &r)
{
    const double rotation = 0.0, half = 1.0;
    r.billboard(rotation, half, half, true, 1.0f);
}

void identity(Renderer &r, MatrixStack stack)
{
    r.matrix_mode(stack);
    r.load_identity();
}

void identity_texture_matrix(Renderer &r, int unit)
{
    r.active_texture(unit);
    identity(r, MatrixStack::texture);
}

} // namespace

void upload_spectrum(Renderer &r, const FrameInfo &frame)
{
    const auto texels = spectrum_texels(frame.spectrum);
    r.update_texture_1d(tex::spectrum, spectrum_texels_wide, texels.data());
}

void place_cameras_and_top_view(part_start &show, RenderTargets &ctx)
{
    const double a2 = show.frame.adjust[2];
    ctx.second_camera = to_camera_record(second_camera_for(a2));
    show.draw_top_view(ctx);
    // The opening row: what the script starts from before its timed rows.
    ctx.main_camera = to_camera_record(camera_for(0.0, a2));
    fill_fade_cues(show.fade_in_cues, show.fade_out_cues);
    ctx.main_camera = to_camera_record(camera_for(show.scene_time, a2));
}

void scene_pass(part_start &show, RenderTargets &ctx, int width, int height)
{
    auto r = show.renderer(ctx);
    r.attach_colour(render_set::scene, 0, tex::scene_colour);
    r.attach_colour(render_set::scene, 1, tex::scene_glow);
    r.attach_depth(render_set::scene, tex::scene_depth);
    r.bind_render_set(render_set::scene, 2);
    show.draw_particle_scene(ctx, 0, 0);
    // The points are drawn with the depth test off and write no depth, so
    // the depth image is left where it is: no pass reads it.
    r.resolve(render_set::scene, width, height, 2, false);
}

void combine_pass(part_start &show, RenderTargets &ctx, int width, int height)
{
    auto r = show.renderer(ctx);
    r.attach_colour(render_set::scene, 0, tex::scene_colour);
    r.bind_render_set(render_set::scene, 1);
    r.viewport(0, 0, width, height);
    identity(r, MatrixStack::projection);
    identity(r, MatrixStack::texture);
    identity(r, MatrixStack::modelview);
    r.set(Capability::depth_test, false);

    const double limit = combine_limit(show.scene_time);
    const ProgramSlot p = program::combine;
    r.use_program(p);
    r.uniform(p, "Limit", static_cast<float>(limit));
    // The scene's two images are read at their texel centres only.
    r.bind_sampler(p, 0, "texture2d_1", tex::scene_colour, TextureKind::two_d);
    r.texture_filter(tex::scene_colour, TextureFilter::nearest);
    r.bind_sampler(p, 1, "texture2d_2", tex::glow_bloom, TextureKind::two_d);
    r.bind_sampler(p, 2, "texture2d_3", tex::scene_glow, TextureKind::two_d);
    r.texture_filter(tex::scene_glow, TextureFilter::nearest);
    r.projective_texture_matrix(p, "ProjectionMatrix", ctx.main_camera, 65.0,
                                static_cast<double>(width) / height, 1.0, 100.0);
    identity(r, MatrixStack::modelview);
    full_screen_quad(r);
    r.resolve(render_set::scene, width, height, 1, false);
}

void blur_pass(part_start &show, RenderTargets &ctx, int window_width, int window_height,
               const Viewport &picture)
{
    auto r = show.renderer(ctx);
    r.bind_window();
    // The whole window goes black first when the picture is smaller than
    // the window (a forced 16:9 picture in full screen): the bars would
    // otherwise show whatever the back buffer held before. A picture that
    // fills the window overwrites every pixel, and nothing later tests
    // depth there, so that clear would only cost a full-size write.
    r.no_program();
    r.viewport(0, 0, window_width, window_height);
    r.set(Capability::scissor_test, false);
    r.clear_colour(0, 0, 0, 0);
    if (!fills_window(picture, window_width, window_height))
        r.clear();
    r.viewport(picture.x, picture.y, picture.width, picture.height);

    identity(r, MatrixStack::projection);
    identity_texture_matrix(r, 0);
    identity(r, MatrixStack::modelview);
    r.set(Capability::depth_test, false);
    const ProgramSlot p = program::blur;
    r.use_program(p);
    r.bind_sampler(p, 3, "texture2d_2", tex::highlight_bloom, TextureKind::two_d);
    r.bind_sampler(p, 1, "texture2d_3", tex::soft_halo, TextureKind::two_d);
    r.bind_sampler(p, 0, "texture2d_1", tex::scene_colour, TextureKind::two_d);
    r.texture_filter(tex::scene_colour, TextureFilter::nearest); // read at texel centres only
    r.uniform(p, "Limit", static_cast<float>(show.frame.adjust[1]));
    r.bind_texture(tex::scene_colour);
    r.set(Capability::texture_2d, true);
    r.set(Capability::blend, false);
    full_screen_quad(r);
    r.clear_colour(0, 0, 0, 0);
    r.bind_window();
    r.no_program();
}

void reset_after_passes(Renderer &r)
{
    identity_texture_matrix(r, 0);
    identity_texture_matrix(r, 1);
    r.active_texture(0);
    identity(r, MatrixStack::projection);
    identity(r, MatrixStack::modelview);
    r.reset_fixed_state();
    r.set(Capability::depth_test, false);
    r.set(Capability::blend, true);
    r.blend_function(BlendFactor::src_alpha, BlendFactor::one_minus_src_alpha);
    r.set(Capability::texture_2d, false);
    identity(r, MatrixStack::modelview);
}

void fade_overlay(Renderer &r, double alpha)
{
    if (!(alpha > fade_draw_threshold))
        return;
    r.colour(0.0f, 0.0f, 0.0f, static_cast<float>(alpha));
    full_screen_quad(r);
}

void escape_overlay(Renderer &r, int window_width, int window_height, double a)
{
    r.viewport(0, 0, window_width, window_height);
    r.push_state();
    r.bind_window();
    identity(r, MatrixStack::projection);
    identity(r, MatrixStack::texture);
    identity(r, MatrixStack::modelview);
    r.set(Capability::cull_face, false);
    r.push_matrix();
    r.reset_fixed_state();
    r.load_identity();
    r.look_at(0.0, 3.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0);
    r.scale(1.0f, 1.0f, 0.7f);
    r.set(Capability::depth_test, false);
    r.set(Capability::lighting, false);
    r.set(Capability::blend, false);
    r.colour(static_cast<float>(a), static_cast<float>(a), static_cast<float>(a));
    r.set(Capability::texture_2d, false);
    const double rotation = 0.0, half = 50.0;
    r.billboard(rotation, half, half, true, 1.0f);
    r.pop_matrix();
    r.pop_state();
    r.flush();
}
