#include "show/director_passes.h"

#include "render/gl_helpers.h"
#include "render/render_targets.h"
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

#include <GL/glew.h>
#include <GL/glu.h>

namespace
{

// With identity matrices the camera-facing quad covers the whole target.
void full_screen_quad()
{
    const double rotation = 0.0, half = 1.0;
    draw_billboard(rotation, half, half, true, 1.0f);
}

void identity(GLenum mode)
{
    glMatrixMode(mode);
    glLoadIdentity();
}

void identity_texture_matrix(int unit)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    identity(GL_TEXTURE);
}

} // namespace

void upload_spectrum(RenderTargets &ctx, const FrameInfo &frame)
{
    const auto texels = spectrum_texels(frame.spectrum);
    ctx.update_texture_1d(tex::spectrum, spectrum_texels_wide, texels.data());
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
    ctx.attach_colour_texture(render_set::scene, 0, tex::scene_colour);
    ctx.attach_colour_texture(render_set::scene, 1, tex::scene_glow);
    ctx.attach_depth_texture(render_set::scene, tex::scene_depth);
    ctx.bind_render_set(render_set::scene, 2);
    show.draw_particle_scene(ctx, 0, 0);
    // The points are drawn with the depth test off and write no depth, so
    // the depth image is left where it is: no pass reads it.
    ctx.resolve_render_set(render_set::scene, width, height, 2, false);
}

void combine_pass(part_start &show, RenderTargets &ctx, int width, int height)
{
    const ShaderProgram &shaders = show.shaders;
    ctx.attach_colour_texture(render_set::scene, 0, tex::scene_colour);
    ctx.bind_render_set(render_set::scene, 1);
    glViewport(0, 0, width, height);
    identity(GL_PROJECTION);
    identity(GL_TEXTURE);
    identity(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);

    const double limit = combine_limit(show.scene_time);
    shaders.use_program(program::combine);
    shaders.set_uniform_float(program::combine, "Limit", static_cast<float>(limit));
    // The scene's two images are read at their texel centres only.
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::combine, 0, "texture2d_1",
                                 ctx.textures[tex::scene_colour]);
    set_texture_filter(ctx.textures[tex::scene_colour], GL_NEAREST);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::combine, 1, "texture2d_2",
                                 ctx.textures[tex::glow_bloom]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::combine, 2, "texture2d_3",
                                 ctx.textures[tex::scene_glow]);
    set_texture_filter(ctx.textures[tex::scene_glow], GL_NEAREST);
    ShaderProgram::set_projective_texture_matrix(program::combine, "ProjectionMatrix", ctx.main_camera, 65.0,
                                                 static_cast<double>(width) / height, 1.0, 100.0);
    identity(GL_MODELVIEW);
    full_screen_quad();
    ctx.resolve_render_set(render_set::scene, width, height, 1, false);
}

void blur_pass(part_start &show, RenderTargets &ctx, int window_width, int window_height,
               const Viewport &picture)
{
    const ShaderProgram &shaders = show.shaders;
    ctx.unbind_render_targets();
    // The whole window goes black first when the picture is smaller than
    // the window (a forced 16:9 picture in full screen): the bars would
    // otherwise show whatever the back buffer held before. A picture that
    // fills the window overwrites every pixel, and nothing later tests
    // depth there, so that clear would only cost a full-size write.
    ShaderProgram::unuse_program();
    glViewport(0, 0, window_width, window_height);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    if (!fills_window(picture, window_width, window_height))
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(picture.x, picture.y, picture.width, picture.height);

    identity(GL_PROJECTION);
    identity_texture_matrix(0);
    identity(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    shaders.use_program(program::blur);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::blur, 3, "texture2d_2",
                                 ctx.textures[tex::highlight_bloom]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::blur, 1, "texture2d_3",
                                 ctx.textures[tex::soft_halo]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::blur, 0, "texture2d_1",
                                 ctx.textures[tex::scene_colour]);
    set_texture_filter(ctx.textures[tex::scene_colour], GL_NEAREST); // read at texel centres only
    shaders.set_uniform_float(program::blur, "Limit", static_cast<float>(show.frame.adjust[1]));
    ctx.bind_table_texture(tex::scene_colour);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    full_screen_quad();
    glClearColor(0, 0, 0, 0);
    ctx.unbind_render_targets();
    ShaderProgram::unuse_program();
}

void reset_after_passes()
{
    identity_texture_matrix(0);
    identity_texture_matrix(1);
    glActiveTexture(GL_TEXTURE0);
    identity(GL_PROJECTION);
    identity(GL_MODELVIEW);
    reset_gl_state();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    identity(GL_MODELVIEW);
}

void fade_overlay(double alpha)
{
    if (!(alpha > fade_draw_threshold))
        return;
    glColor4f(0.0f, 0.0f, 0.0f, static_cast<float>(alpha));
    full_screen_quad();
}

void escape_overlay(RenderTargets &ctx, int window_width, int window_height, double a)
{
    glViewport(0, 0, window_width, window_height);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    ctx.unbind_render_targets();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glPushMatrix();
    reset_gl_state();
    glLoadIdentity();
    gluLookAt(0.0, 3.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0);
    glScalef(1.0f, 1.0f, 0.7f);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glColor3d(a, a, a);
    glDisable(GL_TEXTURE_2D);
    const double rotation = 0.0, half = 50.0;
    draw_billboard(rotation, half, half, true, 1.0f);
    glPopMatrix();
    glPopAttrib();
    glFlush();
}
