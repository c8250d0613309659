#include "show/bloom_passes.h"

#include "render/renderer.h"
#include "show/resources.h"
#include "show/screen_passes.h"

namespace
{

struct Quarter {
    int width, height;
};

void full_screen_quad(Renderer &r)
{
    const double rotation = 0.0, half = 1.0;
    r.billboard(rotation, half, half, true, 1.0f);
}

// Binds `set` for `outputs` colours, a width x height viewport and identity
// matrices; the caller draws, then resolves into the attached textures.
void begin(Renderer &r, RenderSetNumber set, int width, int height, int outputs)
{
    r.bind_render_set(set, outputs);
    r.viewport(0, 0, width, height);
    r.active_texture(0);
    for (MatrixStack stack : {MatrixStack::projection, MatrixStack::texture, MatrixStack::modelview}) {
        r.matrix_mode(stack);
        r.load_identity();
    }
    r.set(Capability::depth_test, false);
    r.set(Capability::blend, false);
}

void resolve(Renderer &r, const Quarter &q, TextureNumber first, const TextureNumber *second = nullptr)
{
    r.attach_colour(render_set::quarter, 0, first);
    if (second != nullptr)
        r.attach_colour(render_set::quarter, 1, *second);
    r.resolve(render_set::quarter, q.width, q.height, second != nullptr ? 2 : 1, false);
}

void reduce(Renderer &r, const Quarter &q, TextureNumber source, float cut, TextureNumber target)
{
    const ProgramSlot p = program::bloom_reduce;
    begin(r, render_set::quarter, q.width, q.height, 1);
    r.use_program(p);
    r.uniform(p, "Limit", cut);
    r.bind_sampler(p, 0, "texture2d_1", source, TextureKind::two_d);
    r.texture_filter(source, TextureFilter::nearest); // every tap is a texel's centre
    full_screen_quad(r);
    resolve(r, q, target);
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

void set_taps(Renderer &r, ProgramSlot p, const char *step, const char *offset, const char *weight,
              const Direction &d)
{
    const auto reads = static_cast<std::size_t>(d.taps.reads);
    r.uniform2(p, step, d.step[0], d.step[1]);
    r.uniform_array(p, offset, std::span<const float>(d.taps.offset.data(), reads));
    r.uniform_array(p, weight, std::span<const float>(d.taps.weight.data(), reads + 1));
}

// The blur program has a wide blur of 6 reads either side and a narrow one
// of 3 (f_bloomblur.cpp).
constexpr int narrow_reads = 3, wide_reads = 6;

// One blur direction: the wide blur into target0 and, when target1 is
// given, mix(wide, narrow, mix) into target1.
void blur(Renderer &r, const Quarter &q, const Direction &wide, const Direction &narrow, float mix,
          TextureNumber target0, const TextureNumber *target1)
{
    const ProgramSlot p = program::bloom_blur;
    begin(r, render_set::quarter, q.width, q.height, target1 != nullptr ? 2 : 1);
    r.use_program(p);
    set_taps(r, p, "Step0", "Offset0", "Weight0", wide);
    set_taps(r, p, "Step1", "Offset1", "Weight1", narrow);
    r.uniform(p, "Mix", mix);
    r.bind_sampler(p, 0, "texture2d_1", wide.source, TextureKind::two_d);
    r.bind_sampler(p, 1, "texture2d_2", narrow.source, TextureKind::two_d);
    full_screen_quad(r);
    resolve(r, q, target0, target1);
}

} // namespace

void glow_bloom_pass(Renderer &r, int width, int height)
{
    const Quarter q{width / 4, height / 4};
    reduce(r, q, tex::scene_glow, 0.0f, tex::bloom_reduced);
    blur(r, q, across(tex::bloom_reduced, glow_bloom_wide.across, wide_reads, q),
         across(tex::bloom_reduced, glow_bloom_medium.across, narrow_reads, q), 1.0f, tex::bloom_across_wide,
         &tex::bloom_across_medium);
    // The wide bloom alone is not kept: the reduction's texture takes it.
    blur(r, q, down(tex::bloom_across_wide, glow_bloom_wide.down, wide_reads, q),
         down(tex::bloom_across_medium, glow_bloom_medium.down, narrow_reads, q), glow_bloom_medium_share,
         tex::bloom_reduced, &tex::glow_bloom);
    r.no_program();
    r.active_texture(0);
}

void highlight_bloom_pass(Renderer &r, int width, int height, const BloomWidth &w)
{
    const Quarter q{width / 4, height / 4};
    const Direction none{tex::bloom_reduced, BlurTaps{}, {0.0f, 0.0f}};
    reduce(r, q, tex::scene_colour, 0.45f, tex::bloom_reduced);
    blur(r, q, across(tex::bloom_reduced, w.across, wide_reads, q), none, 0.0f, tex::bloom_across_wide,
         nullptr);
    blur(r, q, down(tex::bloom_across_wide, w.down, wide_reads, q), none, 0.0f, tex::highlight_bloom,
         nullptr);
    r.no_program();
    r.active_texture(0);
}

void soft_halo_pass(Renderer &r, const HaloSize &halo, float radius)
{
    const RenderSetNumber set = halo.half ? render_set::half : render_set::scene;
    const ProgramSlot p = program::soft_halo;
    begin(r, set, halo.width, halo.height, 1);
    r.use_program(p);
    r.uniform(p, "Radius", radius);
    r.bind_sampler(p, 0, "texture2d_1", tex::scene_colour, TextureKind::two_d);
    r.texture_filter(tex::scene_colour, TextureFilter::linear); // the pinwheel reads between texels
    full_screen_quad(r);
    r.attach_colour(set, 0, tex::soft_halo);
    r.resolve(set, halo.width, halo.height, 1, false);
    if (!halo.half) // set 0 keeps the scene's image attached, as the set-up leaves it
        r.attach_colour(render_set::scene, 0, tex::scene_colour);
    r.no_program();
    r.active_texture(0);
}
