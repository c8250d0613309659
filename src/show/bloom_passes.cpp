#include "show/bloom_passes.h"

#include "render/renderer.h"
#include "show/resources.h"
#include "show/screen_passes.h"

namespace
{

void full_screen_quad(Renderer &r)
{
    const double rotation = 0.0, half = 1.0;
    r.billboard(rotation, half, half, true, 1.0f);
}

// A blur direction: the source, its taps and one texel along it.
struct Direction {
    TextureNumber source;
    BlurTaps taps;
    float step[2];
};

struct Quarter {
    int width, height;
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

// The blur program has a wide blur of 6 reads either side and a narrow one
// of 3 (f_bloomblur.cpp).
constexpr int narrow_reads = 3, wide_reads = 6;

ScreenStep quarter_step(const Quarter &q, ProgramSlot program, int outputs)
{
    ScreenStep s;
    s.set = render_set::quarter;
    s.outputs = outputs;
    s.width = q.width;
    s.height = q.height;
    s.program = program;
    return s;
}

// Each pixel the mean of the 4 x 4 it covers, less `cut`.
ScreenStep reduce(const Quarter &q, TextureNumber source, float cut, TextureNumber target)
{
    ScreenStep s = quarter_step(q, program::bloom_reduce, 1);
    s.uniforms.push_back({UniformSetting::scalar, "Limit", {cut}});
    s.textures.push_back({0, "texture2d_1", source, TextureFilter::nearest}); // every tap is a texel's centre
    s.resolved_into = {target};
    return s;
}

void add_taps(ScreenStep &s, const char *step, const char *offset, const char *weight, const Direction &d)
{
    const auto reads = static_cast<std::size_t>(d.taps.reads);
    s.uniforms.push_back({UniformSetting::pair, step, {d.step[0], d.step[1]}});
    s.uniforms.push_back(
        {UniformSetting::array, offset, {d.taps.offset.begin(), d.taps.offset.begin() + reads}});
    s.uniforms.push_back(
        {UniformSetting::array, weight, {d.taps.weight.begin(), d.taps.weight.begin() + reads + 1}});
}

// One blur direction: the wide blur into target0 and, when target1 is
// given, mix(wide, narrow, mix) into target1.
ScreenStep blur(const Quarter &q, const Direction &wide, const Direction &narrow, float mix,
                TextureNumber target0, std::optional<TextureNumber> target1)
{
    ScreenStep s = quarter_step(q, program::bloom_blur, target1 ? 2 : 1);
    add_taps(s, "Step0", "Offset0", "Weight0", wide);
    add_taps(s, "Step1", "Offset1", "Weight1", narrow);
    s.uniforms.push_back({UniformSetting::scalar, "Mix", {mix}});
    s.textures.push_back({0, "texture2d_1", wide.source, std::nullopt});
    s.textures.push_back({1, "texture2d_2", narrow.source, std::nullopt});
    s.resolved_into = {target0};
    if (target1)
        s.resolved_into.push_back(*target1);
    return s;
}

} // namespace

std::vector<ScreenStep> plan_glow_bloom(int width, int height)
{
    const Quarter q{width / 4, height / 4};
    return {reduce(q, tex::scene_glow, 0.0f, tex::bloom_reduced),
            blur(q, across(tex::bloom_reduced, glow_bloom_wide.across, wide_reads, q),
                 across(tex::bloom_reduced, glow_bloom_medium.across, narrow_reads, q), 1.0f,
                 tex::bloom_across_wide, tex::bloom_across_medium),
            // The wide bloom alone is not kept: the reduction's texture takes it.
            blur(q, down(tex::bloom_across_wide, glow_bloom_wide.down, wide_reads, q),
                 down(tex::bloom_across_medium, glow_bloom_medium.down, narrow_reads, q),
                 glow_bloom_medium_share, tex::bloom_reduced, tex::glow_bloom)};
}

std::vector<ScreenStep> plan_highlight_bloom(int width, int height, const BloomWidth &w)
{
    const Quarter q{width / 4, height / 4};
    const Direction none{tex::bloom_reduced, BlurTaps{}, {0.0f, 0.0f}};
    return {reduce(q, tex::scene_colour, 0.45f, tex::bloom_reduced),
            blur(q, across(tex::bloom_reduced, w.across, wide_reads, q), none, 0.0f, tex::bloom_across_wide,
                 std::nullopt),
            blur(q, down(tex::bloom_across_wide, w.down, wide_reads, q), none, 0.0f, tex::highlight_bloom,
                 std::nullopt)};
}

ScreenStep plan_soft_halo(const HaloSize &halo, float radius)
{
    ScreenStep s;
    s.set = halo.half ? render_set::half : render_set::scene;
    s.width = halo.width;
    s.height = halo.height;
    s.program = program::soft_halo;
    s.uniforms.push_back({UniformSetting::scalar, "Radius", {radius}});
    // The pinwheel reads between texels.
    s.textures.push_back({0, "texture2d_1", tex::scene_colour, TextureFilter::linear});
    s.resolved_into = {tex::soft_halo};
    if (!halo.half) // set 0 keeps the scene's image attached, as the set-up leaves it
        s.reattach_scene_colour = tex::scene_colour;
    return s;
}

void set_step_uniforms(Renderer &r, const ScreenStep &s)
{
    for (const UniformSetting &u : s.uniforms) {
        if (u.kind == UniformSetting::pair)
            r.uniform2(s.program, u.name, u.values.at(0), u.values.at(1));
        else if (u.kind == UniformSetting::array)
            r.uniform_array(s.program, u.name, u.values);
        else
            r.uniform(s.program, u.name, u.values.at(0));
    }
}

void bind_step_textures(Renderer &r, const ScreenStep &s)
{
    for (const ScreenSampler &t : s.textures) {
        r.bind_sampler(s.program, t.unit, t.name, t.texture, TextureKind::two_d);
        if (t.filter)
            r.texture_filter(t.texture, *t.filter);
    }
}

void draw_screen_step(Renderer &r, const ScreenStep &s)
{
    // The set for its outputs, its size, identity matrices, no depth test
    // or blending.
    r.bind_render_set(s.set, s.outputs);
    r.viewport(0, 0, s.width, s.height);
    r.active_texture(0);
    for (MatrixStack stack : {MatrixStack::projection, MatrixStack::texture, MatrixStack::modelview}) {
        r.matrix_mode(stack);
        r.load_identity();
    }
    r.set(Capability::depth_test, false);
    r.set(Capability::blend, false);
    r.use_program(s.program);
    set_step_uniforms(r, s);
    bind_step_textures(r, s);
    full_screen_quad(r);
    for (std::size_t k = 0; k < s.resolved_into.size(); ++k)
        r.attach_colour(s.set, static_cast<int>(k), s.resolved_into[k]);
    r.resolve(s.set, s.width, s.height, static_cast<int>(s.resolved_into.size()), false);
    if (s.reattach_scene_colour)
        r.attach_colour(render_set::scene, 0, *s.reattach_scene_colour);
}

void draw_screen_steps(Renderer &r, const std::vector<ScreenStep> &steps)
{
    for (const ScreenStep &s : steps)
        draw_screen_step(r, s);
    r.no_program();
    r.active_texture(0);
}

void glow_bloom_pass(Renderer &r, int width, int height)
{
    draw_screen_steps(r, plan_glow_bloom(width, height));
}

void highlight_bloom_pass(Renderer &r, int width, int height, const BloomWidth &spread)
{
    draw_screen_steps(r, plan_highlight_bloom(width, height, spread));
}

void soft_halo_pass(Renderer &r, const HaloSize &halo, float radius)
{
    draw_screen_steps(r, {plan_soft_halo(halo, radius)});
}
