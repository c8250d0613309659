#include "plan_parity_driver.h"

#include "plan_parity_readback.h"
#include "render/render_targets.h"
#include "render/shader_program.h"
#include "runtime/frame_info.h"
#include "show/bloom_passes.h"
#include "show/camera_record.h"
#include "show/director_passes.h"
#include "show/drawing.h"
#include "show/frame_plan.h"
#include "show/part_start.h"
#include "show/part_start_setup.h"
#include "show/resources.h"

#include <array>
#include <cstdio>
#include <memory>

namespace
{

constexpr int width = 320, height = 180;

// A cloud as the scene pass hands it over: its camera's matrices, texture
// unit 2's projective matrix, the point size, then the program, uniforms and
// textures in the plan's order and each draw's uniforms. The grid itself is
// not drawn; one small strip takes its place, so that the stand-ins are
// uploaded as a draw uploads them.
void hand_over_cloud(Renderer &r, const FramePlan &plan, const CloudDrawPlan &cloud)
{
    const CameraPlan &camera = plan.scene_camera;
    const CameraPlan &projective = plan.scene_projective_camera;
    r.viewport(0, 0, plan.render_width, plan.render_height);
    r.matrix_mode(MatrixStack::projection);
    r.load_identity();
    r.perspective(camera.fovy, camera.aspect, camera.z_near, camera.z_far);
    r.matrix_mode(MatrixStack::modelview);
    r.load_identity();
    r.look_at(to_camera_record(plan.main_camera));
    r.projective_texture_matrix(cloud.program, "ProjectionMatrix", to_camera_record(plan.second_camera),
                                projective.fovy, projective.aspect, projective.z_near, projective.z_far);
    r.matrix_mode(MatrixStack::modelview);
    r.point_size(plan.point_size);

    r.use_program(cloud.program);
    const auto bind_textures = [&] {
        for (const SamplerPlan &s : cloud.textures)
            r.bind_sampler(cloud.program, s.unit, s.name, s.texture, s.kind);
    };
    for (std::size_t k = 0; k < cloud.uniforms.size(); ++k) {
        if (k == cloud.uniforms_before_textures)
            bind_textures();
        r.uniform(cloud.program, cloud.uniforms[k].name, cloud.uniforms[k].value);
    }
    if (cloud.uniforms_before_textures >= cloud.uniforms.size())
        bind_textures();
    for (const std::vector<UniformValue> &draw : cloud.draws)
        for (const UniformValue &u : draw)
            r.uniform(cloud.program, u.name, u.value);
    const std::array<ColouredVertex, 4> strip{
        {{1, 1, 1, 0, 0, -5}, {1, 1, 1, 0.1, 0, -5}, {1, 1, 1, 0, 0.1, -5}, {1, 1, 1, 0.1, 0.1, -5}}};
    r.quad_strip(strip);
}

// The top view's lit-mesh program with the city's placement in texture
// matrix 0 and the top-view camera in the modelview, as that pass draws the
// city; a strip stands in for the mesh.
void hand_over_top_view(Renderer &r, const FramePlan &plan, const part_start &segment)
{
    const CameraPlan &c = plan.top_view_camera;
    const TopViewPlan &top = plan.top_view;
    r.matrix_mode(MatrixStack::projection);
    r.load_identity();
    r.perspective(c.fovy, c.aspect, c.z_near, c.z_far);
    r.matrix_mode(MatrixStack::modelview);
    r.load_identity();
    r.look_at(c.eye[0], c.eye[1], c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1], c.up[2]);
    r.reset_fixed_state();
    segment.use_lit_mesh_program(r, plan.lit_mesh_a1);
    r.matrix_mode(MatrixStack::texture);
    r.active_texture(1);
    r.load_identity();
    r.active_texture(0);
    r.load_identity();
    r.uniform(program::lit_mesh, "ttime", static_cast<float>(plan.scene_time));
    r.scale(0.1 * top.scale * 0.57, 0.1 * top.scale * 0.57, 0.1 * top.scale * 0.57);
    if (top.city_tilted) {
        r.rotate(20.0, 1.0, 0.0, 0.0);
        r.translate(0.0, top.city_rise, 0.0);
    }
    const std::array<ColouredVertex, 4> strip{
        {{1, 1, 1, 0, 0, 0}, {1, 1, 1, 1, 0, 0}, {1, 1, 1, 0, 0, 1}, {1, 1, 1, 1, 0, 1}}};
    r.quad_strip(strip); // the record is read before the placement goes
}

} // namespace

std::string plan_parity_record()
{
    auto ctx = std::make_unique<RenderTargets>();
    auto shaders = std::make_unique<ShaderProgram>();
    ctx->pictures_are_fatal = false;
    for (const RenderSetSize &s : show_render_sets(width, height))
        ctx->create_render_set(s.set, s.width, s.height, 0);
    const ShaderFeatures features = build_show_programs(*shaders);
    create_show_textures(*ctx, width, height);
    attach_show_textures(*ctx);
    load_show_pictures(*ctx);
    ShowRenderer r = renderer_for(*ctx, shaders.get());
    const auto segment = std::make_unique<part_start>(); // only its lit-mesh program's settings are used

    std::string record;
    const auto take = [&](const std::string &label, ProgramSlot program) {
        record += "step " + label + " program " + std::to_string(program.value) + "\n";
        record += program_state_record(shaders->program(program), ctx->textures);
    };
    const FrameInfo frame{};
    // The opening (letters, reduced-size passes), the middle and the close.
    for (const double t : {12.5, 96.0, 207.25}) {
        char at[32];
        std::snprintf(at, sizeof at, "t=%g ", t);
        const FramePlan plan = plan_frame(t, frame, width, height, width, height, features);
        upload_spectrum(r, plan);
        hand_over_top_view(r, plan, *segment);
        take(at + std::string("top view"), program::lit_mesh);
        r.load_identity();
        r.matrix_mode(MatrixStack::modelview);
        for (std::size_t k = 0; k < plan.glow_bloom.size(); ++k) {
            draw_screen_steps(r, {plan.glow_bloom[k]});
            take(at + std::string("glow bloom ") + std::to_string(k), plan.glow_bloom[k].program);
        }
        combine_pass(r, plan);
        take(at + std::string("combine"), plan.combine.program);
        for (std::size_t k = 0; k < plan.highlight_bloom.size(); ++k) {
            draw_screen_steps(r, {plan.highlight_bloom[k]});
            take(at + std::string("highlight bloom ") + std::to_string(k), plan.highlight_bloom[k].program);
        }
        draw_screen_steps(r, {plan.soft_halo});
        take(at + std::string("soft halo"), plan.soft_halo.program);
        blur_pass(r, plan);
        take(at + std::string("blur"), plan.blur.program);
        reset_after_passes(r);
        hand_over_cloud(r, plan, plan.main_cloud);
        take(at + std::string("main cloud"), plan.main_cloud.program);
        hand_over_cloud(r, plan, plan.stars);
        take(at + std::string("stars"), plan.stars.program);
        if (plan.letters) {
            hand_over_cloud(r, plan, *plan.letters);
            take(at + std::string("letters"), plan.letters->program);
        }
        r.no_program();
        r.active_texture(0);
    }
    r.finish();
    return record;
}
