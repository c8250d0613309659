#include "show/bloom_passes.h"

#include "render/gl_helpers.h"
#include "render/render_targets.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "show/screen_passes.h"

#include <GL/glew.h>

namespace
{

struct Quarter {
    int width, height;
};

void full_screen_quad()
{
    const double rotation = 0.0, half = 1.0;
    draw_billboard(rotation, half, half, true, 1.0f);
}

// Binds set 2 for `outputs` colours with identity matrices; the caller
// draws, then resolve() copies into the attached textures.
void begin(RenderTargets &ctx, const Quarter &q, int outputs)
{
    ctx.bind_render_set(render_set::quarter, outputs);
    glViewport(0, 0, q.width, q.height);
    glActiveTexture(GL_TEXTURE0);
    for (GLenum mode : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glLoadIdentity();
    }
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

void resolve(RenderTargets &ctx, const Quarter &q, int first, int second = -1)
{
    ctx.attach_colour_texture(render_set::quarter, 0, first);
    if (second >= 0)
        ctx.attach_colour_texture(render_set::quarter, 1, second);
    ctx.resolve_render_set(render_set::quarter, q.width, q.height, second >= 0 ? 2 : 1, false);
}

void reduce(const part_start &show, RenderTargets &ctx, const Quarter &q, int source, float cut, int target)
{
    const ShaderProgram &shaders = show.shaders;
    begin(ctx, q, 1);
    shaders.use_program(program::bloom_reduce);
    shaders.set_uniform_float(program::bloom_reduce, "Limit", cut);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::bloom_reduce, 0, "texture2d_1",
                                 ctx.textures[source]);
    full_screen_quad();
    resolve(ctx, q, target);
}

// One direction of two blurs: `first` along step0 into target0, `second`
// along step1 into target1 (no second: target1 < 0).
void blur(const part_start &show, RenderTargets &ctx, const Quarter &q, int first, const float (&step0)[2],
          int target0, int second, const float (&step1)[2], int target1)
{
    const ShaderProgram &shaders = show.shaders;
    const GLuint program = shaders.program(program::bloom_blur);
    begin(ctx, q, target1 >= 0 ? 2 : 1);
    shaders.use_program(program::bloom_blur);
    glUniform2f(glGetUniformLocation(program, "Step0"), step0[0], step0[1]);
    glUniform2f(glGetUniformLocation(program, "Step1"), step1[0], step1[1]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::bloom_blur, 0, "texture2d_1", ctx.textures[first]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::bloom_blur, 1, "texture2d_2", ctx.textures[second]);
    full_screen_quad();
    resolve(ctx, q, target0, target1);
}

} // namespace

void glow_bloom_pass(part_start &show, RenderTargets &ctx, int width, int height)
{
    const Quarter q{width / 4, height / 4};
    const float wide = bloom_tap_step(glow_bloom_wide.across),
                medium = bloom_tap_step(glow_bloom_medium.across);
    const float wide_down = bloom_tap_step(glow_bloom_wide.down);
    const float medium_down = bloom_tap_step(glow_bloom_medium.down);
    reduce(show, ctx, q, tex::scene_glow, 0.0f, tex::bloom_reduced);
    blur(show, ctx, q, tex::bloom_reduced, {wide, 0.0f}, tex::bloom_across_wide, tex::bloom_reduced,
         {medium, 0.0f}, tex::bloom_across_medium);
    blur(show, ctx, q, tex::bloom_across_wide, {0.0f, wide_down}, tex::glow_bloom_wide,
         tex::bloom_across_medium, {0.0f, medium_down}, tex::glow_bloom_medium);
    ShaderProgram::unuse_program();
    glActiveTexture(GL_TEXTURE0);
}

void highlight_bloom_pass(part_start &show, RenderTargets &ctx, int width, int height)
{
    const Quarter q{width / 4, height / 4};
    const BloomWidth w = highlight_bloom_width(show.frame.adjust[1]);
    const float none[2] = {0.0f, 0.0f};
    reduce(show, ctx, q, tex::scene_colour, 0.45f, tex::bloom_reduced);
    blur(show, ctx, q, tex::bloom_reduced, {bloom_tap_step(w.across), 0.0f}, tex::bloom_across_wide,
         tex::bloom_reduced, none, -1);
    blur(show, ctx, q, tex::bloom_across_wide, {0.0f, bloom_tap_step(w.down)}, tex::highlight_bloom,
         tex::bloom_across_wide, none, -1);
    ShaderProgram::unuse_program();
    glActiveTexture(GL_TEXTURE0);
}
