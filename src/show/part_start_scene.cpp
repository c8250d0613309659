// part_start::draw_particle_scene: everything the scene pass draws is point
// sprites: the 512 x 512 grid with the main-cloud program (one draw for its
// five passes), the sparse grid with the stars program and, at the opening
// and the closing, the grid with the letters program (one draw for its two
// passes; show/cloud_passes.h says why one draw). The processor sets only
// uniforms and textures; all per-point work is in the shaders.
// Depends on: cloud_passes, field_of_view (plain values), ShaderProgram,
// RenderTargets, gl_helpers, GLU. GL thread only; draws into whatever
// framebuffer is bound. Leaves blending off, no program, unit 0 active.
#include "render/gl_helpers.h"
#include "render/render_targets.h"
#include "runtime/show_state.h"
#include "show/camera_record.h"
#include "show/cloud_passes.h"
#include "show/field_of_view.h"
#include "show/grid_lists.h"
#include "show/part_start.h"
#include "show/resources.h"

#include <GL/glew.h>
#include <GL/glu.h>

namespace
{

void set_pass_uniforms(const ShaderProgram &shaders, ProgramSlot slot, const ParticleUniforms &u)
{
    shaders.set_uniform_float(slot, "ttime", static_cast<float>(u.ttime));
    shaders.set_uniform_float(slot, "particlesize", static_cast<float>(u.particlesize));
    shaders.set_uniform_float(slot, "magnifier", static_cast<float>(u.magnifier));
    shaders.set_uniform_float(slot, "realttime", static_cast<float>(u.realttime));
}

// The three textures every particle program samples: the palette picture,
// a picture of the scene's shapes and the spectrum.
void bind_particle_textures(const ShaderProgram &shaders, const RenderTargets &ctx, ProgramSlot slot,
                            TextureNumber shapes)
{
    shaders.bind_texture_uniform(GL_TEXTURE_2D, slot, 0, "texture2d_1", ctx.textures[tex::background]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, slot, 1, "texture2d_2", ctx.textures[shapes]);
    shaders.bind_texture_uniform(GL_TEXTURE_1D, slot, 2, "textureDSP", ctx.textures[tex::spectrum]);
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
void draw_full_grid(const ShowGrids *grids)
{
    if (grids == nullptr || !grids->grid.complete()) {
        glCallList(static_cast<GLuint>(display_list::grid.value));
        return;
    }
    const int pieces = grids->grid.piece_count();
    grids->grid.call_pieces(0, pieces / 2);
    glFinish();
    grids->grid.call_pieces(pieces / 2, pieces);
}

} // namespace

void part_start::draw_particle_scene(RenderTargets &ctx, int use_second_camera, int velocity_mode)
{
    const double t = scene_time;
    const double a1 = frame.adjust[1];
    const int width = render_width;
    const int height = render_height;
    const double aspect = static_cast<double>(width) / height;

    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(field_of_view(t), aspect, 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    look_at(use_second_camera ? ctx.second_camera : ctx.main_camera);
    reset_gl_state();

    // Preparation with the lit-mesh program: draws nothing; what carries on
    // is texture unit 2's projective matrix, which the particle programs
    // may read.
    const ProgramSlot mesh = program::lit_mesh;
    use_lit_mesh_program(ctx, a1);
    ShaderProgram::set_projective_texture_matrix(mesh, "ProjectionMatrix", ctx.second_camera, 65.0, aspect,
                                                 1.0, 100.0);
    if (velocity_mode)
        shaders.use_program(program::velocities);
    shaders.set_uniform_float(mesh, "ttime", static_cast<float>(t));
    shaders.set_uniform_float(mesh, "PosY", static_cast<float>(a1 - 100.0));
    shaders.set_uniform_float(mesh, "PosY", static_cast<float>(a1));
    glActiveTexture(GL_TEXTURE1);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    ShaderProgram::unuse_program();

    // Additive point sprites, no depth test: overlapping points brighten.
    // The fixed point size carries the render height over 720 to the
    // shaders (gl_Point.size), which size their sprites by it, so a frame
    // looks the same at any resolution.
    glPointSize(static_cast<float>(height) / 720.0f);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
    glEnable(GL_POINT_SPRITE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);

    const ProgramSlot cloud = billboard_program;
    shaders.use_program(cloud);
    shaders.set_uniform_float(cloud, "PosY", static_cast<float>(a1));
    shaders.set_uniform_float(cloud, "ttime", static_cast<float>(t));
    bind_particle_textures(shaders, ctx, cloud, tex::height_map);
    shaders.set_uniform_float(cloud, "rttime", static_cast<float>(main_cloud_rttime(t)));
    set_pass_uniforms(shaders, cloud, main_cloud_draw(t));
    shaders.set_uniform_float(cloud, "passes", static_cast<float>(main_cloud_passes));
    draw_full_grid(grids.get());

    const ProgramSlot stars = program::stars;
    shaders.use_program(stars);
    shaders.set_uniform_float(stars, "PosY", static_cast<float>(a1));
    bind_particle_textures(shaders, ctx, stars, tex::height_map);
    set_pass_uniforms(shaders, stars, stars_pass(t));
    glCallList(static_cast<GLuint>(display_list::sparse_grid.value));

    if (letters_drawn(t)) {
        const ProgramSlot letters = program::letters;
        shaders.use_program(letters);
        shaders.set_uniform_float(letters, "PosY", static_cast<float>(a1));
        bind_particle_textures(shaders, ctx, letters, letters_picture(t));
        set_pass_uniforms(shaders, letters, letters_draw(t));
        shaders.set_uniform_float(letters, "passes", static_cast<float>(letters_passes));
        draw_full_grid(grids.get());
    }

    glDisable(GL_BLEND);
    ShaderProgram::unuse_program();
    glActiveTexture(GL_TEXTURE0);
}
