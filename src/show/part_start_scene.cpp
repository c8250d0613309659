// part_start::draw_particle_scene: everything the scene pass draws is point
// sprites: the 512 x 512 grid with the main-cloud program (one draw for its
// five passes), the sparse grid with the stars program and, at the opening
// and the closing, the grid with the letters program (one draw for its two
// passes; show/cloud_passes.h says why one draw). The processor sets only
// uniforms and textures; all per-point work is in the shaders.
// Depends on: cloud_passes, field_of_view (plain values), the drawing
// interface (render/renderer.h), RenderTargets. GL thread only; draws into
// whatever framebuffer is bound. Leaves blending off, no program, unit 0
// active.
#include "render/render_targets.h"
#include "render/renderer.h"
#include "runtime/show_state.h"
#include "show/cloud_passes.h"
#include "show/field_of_view.h"
#include "show/grid_lists.h"
#include "show/part_start.h"
#include "show/resources.h"

namespace
{

void set_pass_uniforms(Renderer &r, ProgramSlot slot, const ParticleUniforms &u)
{
    r.uniform(slot, "ttime", static_cast<float>(u.ttime));
    r.uniform(slot, "particlesize", static_cast<float>(u.particlesize));
    r.uniform(slot, "magnifier", static_cast<float>(u.magnifier));
    r.uniform(slot, "realttime", static_cast<float>(u.realttime));
}

// The three textures every particle program samples: the palette picture,
// a picture of the scene's shapes and the spectrum.
void bind_particle_textures(Renderer &r, ProgramSlot slot, TextureNumber shapes)
{
    r.bind_sampler(slot, 0, "texture2d_1", tex::background, TextureKind::two_d);
    r.bind_sampler(slot, 1, "texture2d_2", shapes, TextureKind::two_d);
    r.bind_sampler(slot, 2, "textureDSP", tex::spectrum, TextureKind::one_d);
}

} // namespace

namespace
{

// List 666 in two halves with a wait between them. A software renderer
// bins a whole draw before drawing it, and the 262,144 points of a frame
// take more than one batch of binned work, so a second batch was filled
// while the first was drawn: some 12 to 36 MB more memory at the peak. In
// halves each fits one batch; the wait costs no measurable frame time. A
// grid still being built draws through its list as before.
void draw_full_grid(Renderer &r, const ShowGrids *grids)
{
    if (grids == nullptr || !grids->grid.complete()) {
        r.call_list(display_list::grid);
        return;
    }
    const int pieces = grids->grid.piece_count();
    r.call_pieces(grids->grid, 0, pieces / 2);
    r.finish();
    r.call_pieces(grids->grid, pieces / 2, pieces);
}

} // namespace

void part_start::draw_particle_scene(RenderTargets &ctx, int use_second_camera, int velocity_mode)
{
    const double t = scene_time;
    const double a1 = frame.adjust[1];
    const int width = render_width;
    const int height = render_height;
    const double aspect = static_cast<double>(width) / height;
    auto r = renderer(ctx);

    r.viewport(0, 0, width, height);
    r.matrix_mode(MatrixStack::projection);
    r.load_identity();
    r.perspective(field_of_view(t), aspect, 0.1, 1000.0);
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
    r.projective_texture_matrix(mesh, "ProjectionMatrix", ctx.second_camera, 65.0, aspect, 1.0, 100.0);
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
    r.point_size(static_cast<float>(height) / 720.0f);
    r.set(Capability::point_smooth, true);
    r.set(Capability::program_point_size, true);
    r.set(Capability::point_sprite, true);
    r.set(Capability::blend, true);
    r.blend_function(BlendFactor::one, BlendFactor::one);
    r.set(Capability::depth_test, false);

    const ProgramSlot cloud = billboard_program;
    r.use_program(cloud);
    r.uniform(cloud, "PosY", static_cast<float>(a1));
    r.uniform(cloud, "ttime", static_cast<float>(t));
    bind_particle_textures(r, cloud, tex::height_map);
    r.uniform(cloud, "rttime", static_cast<float>(main_cloud_rttime(t)));
    set_pass_uniforms(r, cloud, main_cloud_draw(t));
    r.uniform(cloud, "passes", static_cast<float>(main_cloud_passes));
    draw_full_grid(r, grids.get());

    const ProgramSlot stars = program::stars;
    r.use_program(stars);
    r.uniform(stars, "PosY", static_cast<float>(a1));
    bind_particle_textures(r, stars, tex::height_map);
    set_pass_uniforms(r, stars, stars_pass(t));
    r.call_list(display_list::sparse_grid);

    if (letters_drawn(t)) {
        const ProgramSlot letters = program::letters;
        r.use_program(letters);
        r.uniform(letters, "PosY", static_cast<float>(a1));
        bind_particle_textures(r, letters, letters_picture(t));
        set_pass_uniforms(r, letters, letters_draw(t));
        r.uniform(letters, "passes", static_cast<float>(letters_passes));
        draw_full_grid(r, grids.get());
    }

    r.set(Capability::blend, false);
    r.no_program();
    r.active_texture(0);
}
