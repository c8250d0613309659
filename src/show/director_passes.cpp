#include "show/director_passes.h"

#include "render/renderer.h"
#include "runtime/frame_info.h"
#include "runtime/show_state.h"
#include "show/bloom_passes.h"
#include "show/camera_record.h"
#include "show/camera_script.h"
#include "show/fade_cues.h"
#include "show/frame_plan.h"
#include "show/resources.h"

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

void upload_spectrum(Renderer &r, const FramePlan &plan)
{
    r.update_texture_1d(tex::spectrum, spectrum_texels_wide, plan.spectrum_texels.data());
}

void scene_pass(Renderer &r, const FramePlan &plan, const std::function<void()> &draw_scene)
{
    const int width = plan.render_width, height = plan.render_height;
    r.attach_colour(render_set::scene, 0, tex::scene_colour);
    r.attach_colour(render_set::scene, 1, tex::scene_glow);
    r.attach_depth(render_set::scene, tex::scene_depth);
    r.bind_render_set(render_set::scene, 2);
    draw_scene();
    // The points are drawn with the depth test off and write no depth, so
    // the depth image is left where it is unless a pass reads it (the
    // twelve programs' combine and blur, show/shader_features.h).
    r.resolve(render_set::scene, width, height, 2, plan.scene_resolves_depth);
}

void combine_pass(Renderer &r, const FramePlan &plan)
{
    const ScreenStep &s = plan.combine;
    r.attach_colour(s.set, 0, s.resolved_into.at(0));
    r.bind_render_set(s.set, s.outputs);
    r.viewport(0, 0, s.width, s.height);
    identity(r, MatrixStack::projection);
    identity(r, MatrixStack::texture);
    identity(r, MatrixStack::modelview);
    r.set(Capability::depth_test, false);

    r.use_program(s.program);
    set_step_uniforms(r, s);
    bind_step_textures(r, s);
    const CameraPlan &c = plan.combine_camera;
    r.projective_texture_matrix(s.program, "ProjectionMatrix", to_camera_record(plan.main_camera), c.fovy,
                                c.aspect, c.z_near, c.z_far);
    identity(r, MatrixStack::modelview);
    full_screen_quad(r);
    r.resolve(s.set, s.width, s.height, 1, false);
}

void blur_pass(Renderer &r, const FramePlan &plan)
{
    const Viewport &picture = plan.picture;
    r.bind_window();
    // The whole window goes black first when the picture is smaller than
    // the window (a forced 16:9 picture in full screen): the bars would
    // otherwise show whatever the back buffer held before. A picture that
    // fills the window overwrites every pixel, and nothing later tests
    // depth there, so that clear would only cost a full-size write.
    r.no_program();
    r.viewport(0, 0, plan.window_width, plan.window_height);
    r.set(Capability::scissor_test, false);
    r.clear_colour(0, 0, 0, 0);
    if (plan.clear_bars)
        r.clear();
    r.viewport(picture.x, picture.y, picture.width, picture.height);

    identity(r, MatrixStack::projection);
    identity_texture_matrix(r, 0);
    identity(r, MatrixStack::modelview);
    r.set(Capability::depth_test, false);
    const ScreenStep &s = plan.blur;
    r.use_program(s.program);
    bind_step_textures(r, s);
    set_step_uniforms(r, s);
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

void fade_overlay(Renderer &r, const FramePlan &plan)
{
    if (!plan.fade_drawn)
        return;
    r.colour(0.0f, 0.0f, 0.0f, static_cast<float>(plan.fade_alpha));
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
