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

// Binds `set` for `outputs` colours, a width x height viewport and identity
// matrices; the caller draws, then resolves into the attached textures.
void begin(RenderTargets &ctx, RenderSetNumber set, int width, int height, int outputs)
{
    ctx.bind_render_set(set, outputs);
    glViewport(0, 0, width, height);
    glActiveTexture(GL_TEXTURE0);
    for (GLenum mode : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glLoadIdentity();
    }
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

void resolve(RenderTargets &ctx, const Quarter &q, TextureNumber first, const TextureNumber *second = nullptr)
{
    ctx.attach_colour_texture(render_set::quarter, 0, first);
    if (second != nullptr)
        ctx.attach_colour_texture(render_set::quarter, 1, *second);
    ctx.resolve_render_set(render_set::quarter, q.width, q.height, second != nullptr ? 2 : 1, false);
}

void reduce(const part_start &show, RenderTargets &ctx, const Quarter &q, TextureNumber source, float cut,
            TextureNumber target)
{
    const ShaderProgram &shaders = show.shaders;
    begin(ctx, render_set::quarter, q.width, q.height, 1);
    shaders.use_program(program::bloom_reduce);
    shaders.set_uniform_float(program::bloom_reduce, "Limit", cut);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::bloom_reduce, 0, "texture2d_1",
                                 ctx.textures[source]);
    set_texture_filter(ctx.textures[source], GL_NEAREST); // every tap is a texel's centre
    full_screen_quad();
    resolve(ctx, q, target);
}

// A blur direction: the source, its taps and one texel along it.
struct Direction {
    TextureNumber source;
    BlurTaps taps;
    float step[2];
};

Direction across(TextureNumber source, float deviation, int reads, const Quarter &q)
{
    return {source,
            gaussian_taps(deviation * static_cast<float>(q.width), reads),
            {1.0f / static_cast<float>(q.width), 0.0f}};
}

Direction down(TextureNumber source, float deviation, int reads, const Quarter &q)
{
    return {source,
            gaussian_taps(deviation * static_cast<float>(q.height), reads),
            {0.0f, 1.0f / static_cast<float>(q.height)}};
}

void set_taps(GLuint program, const char *step, const char *offset, const char *weight, const Direction &d)
{
    glUniform2f(glGetUniformLocation(program, step), d.step[0], d.step[1]);
    glUniform1fv(glGetUniformLocation(program, offset), d.taps.reads, d.taps.offset.data());
    glUniform1fv(glGetUniformLocation(program, weight), d.taps.reads + 1, d.taps.weight.data());
}

// The blur program has a wide blur of 6 reads either side and a narrow one
// of 3 (f_bloomblur.cpp).
constexpr int narrow_reads = 3, wide_reads = 6;

// One blur direction: the wide blur into target0 and, when target1 is
// given, mix(wide, narrow, mix) into target1.
void blur(const part_start &show, RenderTargets &ctx, const Quarter &q, const Direction &wide,
          const Direction &narrow, float mix, TextureNumber target0, const TextureNumber *target1)
{
    const ShaderProgram &shaders = show.shaders;
    const GLuint program = shaders.program(program::bloom_blur);
    begin(ctx, render_set::quarter, q.width, q.height, target1 != nullptr ? 2 : 1);
    shaders.use_program(program::bloom_blur);
    set_taps(program, "Step0", "Offset0", "Weight0", wide);
    set_taps(program, "Step1", "Offset1", "Weight1", narrow);
    glUniform1f(glGetUniformLocation(program, "Mix"), mix);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::bloom_blur, 0, "texture2d_1",
                                 ctx.textures[wide.source]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::bloom_blur, 1, "texture2d_2",
                                 ctx.textures[narrow.source]);
    full_screen_quad();
    resolve(ctx, q, target0, target1);
}

} // namespace

void glow_bloom_pass(part_start &show, RenderTargets &ctx, int width, int height)
{
    const Quarter q{width / 4, height / 4};
    reduce(show, ctx, q, tex::scene_glow, 0.0f, tex::bloom_reduced);
    blur(show, ctx, q, across(tex::bloom_reduced, glow_bloom_wide.across, wide_reads, q),
         across(tex::bloom_reduced, glow_bloom_medium.across, narrow_reads, q), 1.0f, tex::bloom_across_wide,
         &tex::bloom_across_medium);
    // The wide bloom alone is not kept: the reduction's texture takes it.
    blur(show, ctx, q, down(tex::bloom_across_wide, glow_bloom_wide.down, wide_reads, q),
         down(tex::bloom_across_medium, glow_bloom_medium.down, narrow_reads, q), glow_bloom_medium_share,
         tex::bloom_reduced, &tex::glow_bloom);
    ShaderProgram::unuse_program();
    glActiveTexture(GL_TEXTURE0);
}

void highlight_bloom_pass(part_start &show, RenderTargets &ctx, int width, int height)
{
    const Quarter q{width / 4, height / 4};
    const BloomWidth w = highlight_bloom_width(show.frame.adjust[1]);
    const Direction none{tex::bloom_reduced, BlurTaps{}, {0.0f, 0.0f}};
    reduce(show, ctx, q, tex::scene_colour, 0.45f, tex::bloom_reduced);
    blur(show, ctx, q, across(tex::bloom_reduced, w.across, wide_reads, q), none, 0.0f,
         tex::bloom_across_wide, nullptr);
    blur(show, ctx, q, down(tex::bloom_across_wide, w.down, wide_reads, q), none, 0.0f, tex::highlight_bloom,
         nullptr);
    ShaderProgram::unuse_program();
    glActiveTexture(GL_TEXTURE0);
}

void soft_halo_pass(part_start &show, RenderTargets &ctx, int width, int height)
{
    const HaloSize halo = soft_halo_size(width, height);
    const RenderSetNumber set = halo.half ? render_set::half : render_set::scene;
    const ShaderProgram &shaders = show.shaders;
    begin(ctx, set, halo.width, halo.height, 1);
    shaders.use_program(program::soft_halo);
    const double limit = show.frame.adjust[1];
    shaders.set_uniform_float(program::soft_halo, "Radius",
                              halo.radius_scale * static_cast<float>(1.0 + (limit > 0.0 ? limit : 0.0)));
    shaders.bind_texture_uniform(GL_TEXTURE_2D, program::soft_halo, 0, "texture2d_1",
                                 ctx.textures[tex::scene_colour]);
    set_texture_filter(ctx.textures[tex::scene_colour], GL_LINEAR); // the pinwheel reads between texels
    full_screen_quad();
    ctx.attach_colour_texture(set, 0, tex::soft_halo);
    ctx.resolve_render_set(set, halo.width, halo.height, 1, false);
    if (!halo.half) // set 0 keeps the scene's image attached, as the set-up leaves it
        ctx.attach_colour_texture(render_set::scene, 0, tex::scene_colour);
    ShaderProgram::unuse_program();
    glActiveTexture(GL_TEXTURE0);
}
