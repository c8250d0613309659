// part_start::draw_particle_scene: everything the scene pass draws is point
// sprites: the 512 x 512 grid with the main-cloud program (five passes), the
// sparse grid with the stars program and, at the opening and the closing,
// the grid with the letters program (two passes). A program that declares
// "passes" draws a cloud once for all its passes (show/cloud_passes.h says
// why); the plan says how many draws each cloud takes. The processor sets
// only uniforms and textures; all per-point work is in the shaders.
// Depends on: cloud_passes, field_of_view (plain values), the drawing
// interface (render/renderer.h), RenderTargets. GL thread only; draws into
// whatever framebuffer is bound. Leaves blending off, no program, unit 0
// active.
#include "render/render_targets.h"
#include "render/renderer.h"
#include "runtime/show_state.h"
#include "show/cloud_passes.h"
#include "show/frame_plan.h"
#include "show/grid_lists.h"
#include "show/part_start.h"
#include "show/resources.h"

namespace
{

// List 666 in two halves with a wait between them. A software renderer
// bins a whole draw before drawing it, and the 262,144 points of a draw
// take more than one batch of binned work, so a second batch was filled
// while the first was drawn: some 12 to 36 MB more memory at the peak. In
// halves each fits one batch; the wait costs no measurable frame time. A
// grid still being built, or one the warm-up has cut to its first piece,
// draws through its list.
void draw_full_grid(Renderer &r, const ShowGrids *grids)
{
    if (grids == nullptr || !grids->grid.complete() || grids->grid.chained() < grids->grid.piece_count()) {
        r.call_list(display_list::grid);
        return;
    }
    const int pieces = grids->grid.piece_count();
    r.call_pieces(grids->grid, 0, pieces / 2);
    r.finish();
    r.call_pieces(grids->grid, pieces / 2, pieces);
}

void set_uniforms(Renderer &r, ProgramSlot program, const std::vector<UniformValue> &uniforms)
{
    for (const UniformValue &u : uniforms)
        r.uniform(program, u.name, u.value);
}

// One cloud as the plan has it: its program, the uniforms and textures in
// their order, then each draw of its grid after that draw's uniforms.
void draw_cloud(Renderer &r, const CloudDrawPlan &cloud, const ShowGrids *grids)
{
    r.use_program(cloud.program);
    const auto bind_textures = [&] {
        for (const SamplerPlan &s : cloud.textures)
            r.bind_sampler(cloud.program, s.unit, s.name, s.texture, s.kind);
    };
    const std::size_t before_textures = cloud.uniforms_before_textures;
    for (std::size_t k = 0; k < cloud.uniforms.size(); ++k) {
        if (k == before_textures)
            bind_textures();
        r.uniform(cloud.program, cloud.uniforms[k].name, cloud.uniforms[k].value);
    }
    if (before_textures >= cloud.uniforms.size())
        bind_textures();
    for (const std::vector<UniformValue> &draw : cloud.draws) {
        set_uniforms(r, cloud.program, draw);
        if (cloud.grid == display_list::grid)
            draw_full_grid(r, grids);
        else
            r.call_list(cloud.grid);
    }
}

} // namespace

void part_start::draw_particle_scene(RenderTargets &ctx, const FramePlan &plan, int use_second_camera,
                                     int velocity_mode)
{
    const double t = plan.scene_time;
    const double a1 = plan.lit_mesh_a1;
    const CameraPlan &camera = plan.scene_camera;
    const CameraPlan &projective = plan.scene_projective_camera;
    auto r = renderer(ctx);

    r.viewport(0, 0, plan.render_width, plan.render_height);
    r.matrix_mode(MatrixStack::projection);
    r.load_identity();
    r.perspective(camera.fovy, camera.aspect, camera.z_near, camera.z_far);
    r.matrix_mode(MatrixStack::modelview);
    r.load_identity();
    r.clear_colour(0, 0, 0, 0);
    r.clear();
    r.look_at(use_second_camera ? ctx.second_camera : ctx.main_camera);
    r.reset_fixed_state();

    // Preparation with the lit-mesh program: draws nothing; what carries on
    // is texture unit 2's projective matrix, which the particle programs
    // may read.
    const ProgramSlot mesh = program::lit_mesh;
    use_lit_mesh_program(r, a1);
    r.projective_texture_matrix(mesh, "ProjectionMatrix", ctx.second_camera, projective.fovy,
                                projective.aspect, projective.z_near, projective.z_far);
    if (velocity_mode)
        r.use_program(program::velocities);
    r.uniform(mesh, "ttime", static_cast<float>(t));
    r.uniform(mesh, "PosY", static_cast<float>(a1 - 100.0));
    r.uniform(mesh, "PosY", static_cast<float>(a1));
    r.active_texture(1);
    r.matrix_mode(MatrixStack::texture);
    r.load_identity();
    r.active_texture(0);
    r.load_identity();
    r.matrix_mode(MatrixStack::modelview);
    r.no_program();

    // Additive point sprites, no depth test: overlapping points brighten.
    // The fixed point size carries the render height over 720 to the
    // shaders (gl_Point.size), which size their sprites by it, so a frame
    // looks the same at any resolution.
    r.point_size(plan.point_size);
    r.set(Capability::point_smooth, true);
    r.set(Capability::program_point_size, true);
    r.set(Capability::point_sprite, true);
    r.set(Capability::blend, true);
    r.blend_function(BlendFactor::one, BlendFactor::one);
    r.set(Capability::depth_test, false);

    draw_cloud(r, plan.main_cloud, grids.get());
    draw_cloud(r, plan.stars, grids.get());
    if (plan.letters)
        draw_cloud(r, *plan.letters, grids.get());

    r.set(Capability::blend, false);
    r.no_program();
    r.active_texture(0);
}
