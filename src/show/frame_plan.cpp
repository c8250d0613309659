#include "show/frame_plan.h"

#include "runtime/frame_info.h"
#include "show/bloom_passes.h"
#include "show/fade_cues.h"
#include "show/field_of_view.h"
#include "show/resources.h"
#include "show/scene_clock.h"

#include <vector>

namespace
{

double as_float(double v)
{
    return static_cast<double>(static_cast<float>(v));
}

Vector3 rounded(const Vec3 &v)
{
    return {as_float(v.x), as_float(v.y), as_float(v.z)};
}

std::vector<UniformValue> pass_uniforms(const ParticleUniforms &p)
{
    return {{"ttime", static_cast<float>(p.ttime)},
            {"particlesize", static_cast<float>(p.particlesize)},
            {"magnifier", static_cast<float>(p.magnifier)},
            {"realttime", static_cast<float>(p.realttime)}};
}

// The palette picture, a picture of the scene's shapes and the spectrum.
std::vector<SamplerPlan> particle_textures(TextureNumber shapes)
{
    return {{0, "texture2d_1", tex::background, TextureKind::two_d},
            {1, "texture2d_2", shapes, TextureKind::two_d},
            {2, "textureDSP", tex::spectrum, TextureKind::one_d}};
}

// One draw standing for the passes (their mean, counted "passes" times) where
// the program declares "passes"; else a draw per pass.
void plan_draws(CloudDrawPlan &c, const ParticleUniforms &mean, const ShaderFeatures &features)
{
    if (features.draws_once(c.program)) {
        c.draws.push_back(pass_uniforms(mean));
        c.draws.back().push_back({"passes", static_cast<float>(c.stands_for.size())});
        return;
    }
    for (const ParticleUniforms &pass : c.stands_for)
        c.draws.push_back(pass_uniforms(pass));
}

CloudDrawPlan main_cloud(double t, double a1, ProgramSlot program, const ShaderFeatures &features)
{
    CloudDrawPlan c;
    c.program = program;
    c.grid = display_list::grid;
    c.textures = particle_textures(tex::height_map);
    c.uniforms.push_back({"PosY", static_cast<float>(a1)});
    c.uniforms.push_back({"ttime", static_cast<float>(t)});
    c.uniforms_before_textures = 2;
    c.uniforms.push_back({"rttime", static_cast<float>(main_cloud_rttime(t))});
    for (int i = 0; i < main_cloud_passes; ++i)
        c.stands_for.push_back(main_cloud_pass(t, i));
    plan_draws(c, main_cloud_draw(t), features);
    return c;
}

CloudDrawPlan stars(double t, double a1)
{
    CloudDrawPlan c;
    c.program = program::stars;
    c.grid = display_list::sparse_grid;
    c.textures = particle_textures(tex::height_map);
    c.uniforms.push_back({"PosY", static_cast<float>(a1)});
    c.stands_for.push_back(stars_pass(t));
    c.draws.push_back(pass_uniforms(stars_pass(t)));
    return c;
}

CloudDrawPlan letters(double t, double a1, const ShaderFeatures &features)
{
    CloudDrawPlan c;
    c.program = program::letters;
    c.grid = display_list::grid;
    c.textures = particle_textures(letters_picture(t));
    c.uniforms.push_back({"PosY", static_cast<float>(a1)});
    for (int i = 0; i < letters_passes; ++i)
        c.stands_for.push_back(letters_pass(t, i));
    plan_draws(c, letters_draw(t), features);
    return c;
}

// The placements the top view's calls leave in texture matrix 0.
std::vector<Matrix4> placements(const TopViewPlan &plan)
{
    std::vector<Matrix4> out;
    if (!plan.runs)
        return out;
    const double k = plan.scale;
    const Matrix4 base = multiply(multiply(scale_matrix(0.1, 0.1, 0.1), scale_matrix(k, k, k)),
                                  scale_matrix(0.57, 0.57, 0.57));
    if (plan.city) {
        Matrix4 m = base;
        if (plan.city_tilted)
            m = multiply(multiply(m, rotation_matrix(20.0, 1.0, 0.0, 0.0)),
                         translation_matrix(0.0, plan.city_rise, 0.0));
        out.push_back(m);
    }
    if (plan.insect)
        out.push_back(
            multiply(multiply(base, translation_matrix(0.0, -108.0, 0.0)), scale_matrix(3.2, 3.2, 3.2)));
    for (const LeafPlacement &leaf : plan.leaves)
        out.push_back(multiply(multiply(multiply(base, translation_matrix(leaf.x, leaf.y, leaf.z)),
                                        scale_matrix(leaf.size, leaf.size, leaf.size)),
                               rotation_matrix(leaf.spin_degrees, 0.0, 1.0, 0.0)));
    return out;
}

} // namespace

CameraPlan camera_plan(const Shot &shot, double fovy, double aspect, double z_near, double z_far)
{
    return {rounded(shot.eye), rounded(shot.centre), rounded(shot.up), fovy, aspect, z_near, z_far};
}

std::optional<float> CloudDrawPlan::uniform(const std::string &name) const
{
    std::optional<float> value;
    for (const UniformValue &u : uniforms)
        if (u.name == name)
            value = u.value;
    for (const std::vector<UniformValue> &draw : draws)
        for (const UniformValue &u : draw)
            if (u.name == name)
                value = u.value;
    return value;
}

const char *pass_name(FramePass pass)
{
    switch (pass) {
    case FramePass::spectrum:
        return "spectrum";
    case FramePass::top_view:
        return "top view";
    case FramePass::scene:
        return "scene";
    case FramePass::glow_bloom:
        return "glow bloom";
    case FramePass::combine:
        return "combine";
    case FramePass::highlight_bloom:
        return "highlight bloom";
    case FramePass::soft_halo:
        return "soft halo";
    case FramePass::blur:
        return "blur";
    case FramePass::fade:
        break;
    }
    return "fade";
}

FramePlan plan_frame(double t, const FrameInfo &frame, int render_width, int render_height, int window_width,
                     int window_height, const ShaderFeatures &features)
{
    const bool reduced = features.reduced_size_passes;
    FramePlan p;
    p.scene_time = t;
    p.render_width = render_width;
    p.render_height = render_height;
    p.window_width = window_width;
    p.window_height = window_height;
    if (reduced)
        p.passes = {FramePass::spectrum,   FramePass::top_view, FramePass::scene,
                    FramePass::glow_bloom, FramePass::combine,  FramePass::highlight_bloom,
                    FramePass::soft_halo,  FramePass::blur,     FramePass::fade};
    else
        p.passes = {FramePass::spectrum, FramePass::top_view, FramePass::scene,
                    FramePass::combine,  FramePass::blur,     FramePass::fade};
    const double a1 = frame.adjust[1], a2 = frame.adjust[2];
    const double aspect = static_cast<double>(render_width) / render_height;

    p.spectrum_texels = spectrum_texels(frame.spectrum);

    p.second_camera = second_camera_for(a2);
    // The top view runs between the two cameras; its plan draws from the
    // shared generator first.
    p.top_view = plan_top_view(t);
    p.top_view_camera = camera_plan({{0, 90, 0}, {0, 0, 0}, {0, 0, 1}}, 65.0, 1.0, 0.1, 1000.0);
    p.top_view_placements = placements(p.top_view);
    p.main_camera = camera_for(t, a2);

    // The depth image is read only by the twelve programs' combine and blur.
    p.scene_resolves_depth = !reduced;
    p.scene_camera = camera_plan(p.main_camera, field_of_view(t), aspect, 0.1, 1000.0);
    p.scene_projective_camera = camera_plan(p.second_camera, 65.0, aspect, 1.0, 100.0);
    p.point_size = static_cast<float>(render_height) / 720.0f;
    p.lit_mesh_a1 = a1;
    p.billboard_program = billboard_program_for(t);
    p.main_cloud = main_cloud(t, a1, p.billboard_program, features);
    p.stars = stars(t, a1);
    if (letters_drawn(t))
        p.letters = letters(t, a1, features);
    p.letters_picture = letters_picture(t);

    if (reduced)
        p.glow_bloom = plan_glow_bloom(render_width, render_height);

    p.combine_limit = static_cast<float>(combine_limit(t));
    p.combine_camera = camera_plan(p.main_camera, 65.0, aspect, 1.0, 100.0);
    p.combine.set = render_set::scene;
    p.combine.width = render_width;
    p.combine.height = render_height;
    p.combine.program = program::combine;
    p.combine.uniforms = {{UniformSetting::scalar, "Limit", {p.combine_limit}}};
    if (reduced) // the scene's two images are read at their texel centres only
        p.combine.textures = {{0, "texture2d_1", tex::scene_colour, TextureFilter::nearest},
                              {1, "texture2d_2", tex::glow_bloom, std::nullopt},
                              {2, "texture2d_3", tex::scene_glow, TextureFilter::nearest}};
    else
        p.combine.textures = {{0, "texture2d_1", tex::scene_colour, std::nullopt},
                              {1, "texture2d_2", tex::scene_depth, std::nullopt},
                              {2, "texture2d_3", tex::scene_glow, std::nullopt},
                              {3, "texture2d_random", tex::random_rgb, std::nullopt}};
    p.combine.resolved_into = {tex::scene_colour};

    p.highlight_width = highlight_bloom_width(a1);
    p.halo = soft_halo_size(render_width, render_height);
    p.halo_radius = p.halo.radius_scale * static_cast<float>(1.0 + (a1 > 0.0 ? a1 : 0.0));
    if (reduced) {
        p.highlight_bloom = plan_highlight_bloom(render_width, render_height, p.highlight_width);
        p.soft_halo = plan_soft_halo(p.halo, p.halo_radius);
    }

    p.picture = centred_viewport(window_width, window_height, render_width, render_height);
    p.clear_bars = !fills_window(p.picture, window_width, window_height);
    p.blur_limit = static_cast<float>(a1);
    p.blur.width = p.picture.width;
    p.blur.height = p.picture.height;
    p.blur.program = program::blur;
    if (reduced)
        p.blur.textures = {
            {3, "texture2d_2", tex::highlight_bloom, std::nullopt},
            {1, "texture2d_3", tex::soft_halo, std::nullopt},
            {0, "texture2d_1", tex::scene_colour, TextureFilter::nearest}}; // texel centres only
    else
        p.blur.textures = {{3, "texture2d_2", tex::scene_depth, std::nullopt},
                           {0, "texture2d_1", tex::scene_colour, std::nullopt}};
    p.blur.uniforms = {{UniformSetting::scalar, "Limit", {p.blur_limit}}};

    std::vector<Cue> in, out;
    fill_fade_cues(in, out);
    p.fade_alpha = fade_alpha(t, in, out);
    p.fade_drawn = p.fade_alpha > fade_draw_threshold;
    return p;
}
