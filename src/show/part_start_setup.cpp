// The main show's set-up: every program, texture, attachment, picture, mesh
// and point grid of the show, created once behind the loading screen.
//
// Everything is addressed afterwards by the fixed numbers of
// show/resources.h (texture_base is 0). The order matters: the noise
// textures follow from the shared generator's state, so creating them in
// a different order would change their images; textures exist before they
// are attached, and everything is in place before the first draw.
// Depends on: render/ (RenderTargets, ShaderProgram), the mesh loader, GL.
// Failures are the loaders' business (a picture that cannot be read ends
// the run; a missing shader or mesh leaves a failed program or empty mesh).
#include "show/part_start_setup.h"

#include "render/render_targets.h"
#include "render/shader_program.h"
#include "runtime/show_state.h"
#include "show/part_start.h"
#include "show/point_randoms.h"
#include "show/resources.h"

#include <GL/glew.h>

#include <algorithm>
#include <vector>

// ---- The file tables --------------------------------------------------------

const std::array<ShowProgramFiles, 14> show_program_files{{
    {program::billboards, "Materials//v_billboards.cpp", "Materials//f_billboards.cpp"},
    {program::billboards_insect, "Materials//v_billboards2n.cpp", "Materials//f_billboards2n.cpp"},
    {program::billboards_leaves, "Materials//v_billboards3n.cpp", "Materials//f_billboards3n.cpp"},
    {program::stars, "Materials//v_billboardsstars.cpp", "Materials//f_billboardsstars.cpp"},
    {program::letters, "Materials//v_billboardsletters.cpp", "Materials//f_billboardsletters.cpp"},
    {program::lit_mesh, "Materials//v_material1.cpp", "Materials//f_material1.cpp"},
    {program::combine, nullptr, "PostProcessing//f_combineSSAO.cpp"},
    {program::blur, nullptr, "PostProcessing//f_blurpass.cpp"},
    {program::simple_blur, nullptr, "PostProcessing//f_simpleblur.cpp"},
    {program::blur_highlights, nullptr, "PostProcessing//f_blurhighlights.cpp"},
    {program::god_rays, nullptr, "PostProcessing//f_godrays.cpp"},
    {program::velocities, "PostProcessing//v_velocities.cpp", "PostProcessing//f_velocities.cpp"},
    {program::bloom_reduce, nullptr, "PostProcessing//f_bloomdown.cpp"},
    {program::bloom_blur, nullptr, "PostProcessing//f_bloomblur.cpp"},
}};

namespace
{

// The grids are the particle sources: every point carries its (x, y) in
// [0, 1) of a 512 x 512 lattice and, as texture coordinate 0, its three
// random values (show/point_randoms.h).
constexpr int grid_size = 512;

float lattice(int i)
{
    return static_cast<float>(i) / static_cast<float>(grid_size);
}

void clamp_to_edge()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void nearest_filters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

// Vertices per piece of a grid list. The driver's list compiler (Mesa)
// indexes and de-duplicates the vertices of each list through a hash table;
// on tables of a few thousand vertices that stays in the processor's cache
// and a grid compiles about twice as fast as in one piece.
constexpr GLsizei piece_vertices = 4096;

// Compiles interleaved client-array vertices into `list`: `floats` per
// vertex, position first and, when there are six, three texture coordinates
// for unit 0. The vertices go into pieces (lists of their own, numbered by
// glGenLists) that `list` calls in order, so calling `list` draws the same
// primitives in the same order as one draw would. `mode` is GL_POINTS or
// GL_LINES (pieces hold whole lines). The lists keep their own copies.
void compile_array_list(GLuint list, GLenum mode, const std::vector<float> &data, int floats)
{
    const auto stride = static_cast<GLsizei>(floats * sizeof(float));
    const auto count = static_cast<GLsizei>(data.size() / static_cast<std::size_t>(floats));
    const GLsizei pieces = (count + piece_vertices - 1) / piece_vertices;
    const GLuint first_piece = pieces > 0 ? glGenLists(pieces) : 0;

    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, data.data());
    if (floats == 6) {
        glClientActiveTexture(GL_TEXTURE0);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(3, GL_FLOAT, stride, data.data() + 3);
    }
    for (GLsizei k = 0; k < pieces; ++k) {
        const GLsizei first = k * piece_vertices;
        glNewList(first_piece + static_cast<GLuint>(k), GL_COMPILE);
        glDrawArrays(mode, first, std::min(piece_vertices, count - first));
        glEndList();
    }
    glPopClientAttrib();

    glNewList(list, GL_COMPILE);
    for (GLsizei k = 0; k < pieces; ++k)
        glCallList(first_piece + static_cast<GLuint>(k));
    glEndList();
}

// Defines the four grid numbers (empty) before any piece is numbered, so
// that glGenLists never hands out one of them for a piece.
void reserve_grid_numbers()
{
    for (const int list : {display_list::grid, display_list::sparse_grid, display_list::offset_grid,
                           display_list::line_grid}) {
        if (glIsList(static_cast<GLuint>(list)) == GL_FALSE) {
            glNewList(static_cast<GLuint>(list), GL_COMPILE);
            glEndList();
        }
    }
}

// Points (i/512 + dx, j/512) for i from 0 by i_step, j from 0 by j_step,
// each with its random values as texture coordinate 0.
void compile_point_grid(GLuint list, int i_step, int j_step, float dx)
{
    std::vector<float> points;
    points.reserve(static_cast<std::size_t>((grid_size / i_step + 1) * (grid_size / j_step + 1)) * 6);
    for (int i = 0; i < grid_size; i += i_step) {
        for (int j = 0; j < grid_size; j += j_step) {
            const auto r = point_randoms(i, j);
            points.insert(points.end(), {lattice(i) + dx, lattice(j), 0.0f, r[0], r[1], r[2]});
        }
    }
    compile_array_list(list, GL_POINTS, points, 6);
}

} // namespace

// ---- Set-up steps -----------------------------------------------------------

void build_show_programs(ShaderProgram &shaders)
{
    for (const ShowProgramFiles &files : show_program_files) {
        if (files.vertex != nullptr) {
            shaders.build_program(files.vertex, files.fragment, files.slot);
        } else {
            shaders.build_fragment_program(files.fragment, files.slot);
        }
    }
}

void create_show_textures(RenderTargets &ctx, int width, int height)
{
    // Each setting acts on the texture its factory has just left bound.
    ctx.create_noise_texture_rgb(tex::random_rgb, 1024, 1024);
    ctx.create_texture_1d(tex::spectrum, 512);
    ctx.create_noise_texture_rgba(tex::scene_colour, width, height);
    clamp_to_edge();
    ctx.create_noise_texture_rgba(tex::quarter_colour, width / 4, height / 4);
    clamp_to_edge();
    ctx.create_noise_texture_rgba(tex::scene_glow, width, height);
    clamp_to_edge();
    ctx.create_noise_texture_rgba(tex::spare_colour, width, height);
    clamp_to_edge();
    ctx.create_depth_texture(tex::scene_depth, width, height);
    clamp_to_edge();
    ctx.create_depth_texture(tex::mesh_depth, width, height);
    clamp_to_edge();
    ctx.create_noise_texture_rgba(tex::height_map, 512, 512);
    nearest_filters();
    ctx.create_depth_texture(tex::height_map_depth, 512, 512);
    // Last, so the noise images above keep the generator's sequence.
    for (int number : {tex::bloom_reduced, tex::bloom_across_wide, tex::bloom_across_medium,
                       tex::glow_bloom_wide, tex::glow_bloom_medium, tex::highlight_bloom}) {
        ctx.create_noise_texture_rgba(number, width / 4, height / 4);
        clamp_to_edge();
    }
}

void attach_show_textures(RenderTargets &ctx)
{
    ctx.attach_colour_texture(render_set::scene, 0, tex::scene_colour);
    ctx.attach_colour_texture(render_set::scene, 1, tex::scene_glow);
    ctx.attach_depth_texture(render_set::scene, tex::scene_depth);
    ctx.attach_colour_texture(render_set::half, 0, tex::quarter_colour);
    // The loading screen draws between loads and the first frame pushes the
    // attributes: both expect the window's framebuffer.
    ctx.unbind_render_targets();
}

void load_show_pictures(RenderTargets &ctx)
{
    ctx.load_normal_map_texture(tex::normal_map, "textures/noise.jpg");
    ctx.load_texture(tex::letters, "textures/letters.jpg");
    ctx.load_texture(tex::logo, "textures/zvxr.jpg");
    clamp_to_edge();
    ctx.load_texture(tex::background, "textures/bg05t.jpg");
}

void load_show_meshes(part_start &segment)
{
    // A missing file leaves an empty mesh; the show draws nothing for it.
    segment.city.load("neomeshes//thecity.obj", false);
    segment.title.load("neomeshes//title.obj", false);
    segment.vannel.load("neomeshes//vannel.obj", false);
    segment.leaves.load("neomeshes//leaves.obj", false);
    // The show draws the vertices and indices; the parse tables go.
    for (ObjMesh *mesh : {&segment.city, &segment.title, &segment.vannel, &segment.leaves})
        mesh->drop_load_tables();
}

// About 800,000 vertices in all, the slowest step of the set-up on Mesa's
// llvmpipe; the vertices come from client arrays and the lists in pieces
// (compile_array_list).
void compile_show_grids()
{
    reserve_grid_numbers();
    compile_point_grid(display_list::grid, 1, 1, 0.0f);
    // 171 columns x 128 rows: every third column, every fourth row.
    compile_point_grid(display_list::sparse_grid, 3, 4, 0.0f);
    // Shifted by half a grid step to the right.
    compile_point_grid(display_list::offset_grid, 1, 1, 1.0f / 1024.0f);

    // One short horizontal line from every lattice point.
    std::vector<float> lines;
    lines.reserve(static_cast<std::size_t>(grid_size) * grid_size * 6);
    for (int i = 0; i < grid_size; ++i) {
        for (int j = 0; j < grid_size; ++j) {
            lines.insert(lines.end(), {lattice(i), lattice(j), 0.0f, lattice(i + 1), lattice(j), 0.0f});
        }
    }
    compile_array_list(display_list::line_grid, GL_LINES, lines, 3);
}

void compile_stand_in_grids()
{
    // Sixteen points of each of the real grids, in the same layout.
    reserve_grid_numbers();
    compile_point_grid(display_list::grid, 128, 128, 0.0f);
    compile_point_grid(display_list::sparse_grid, 129, 128, 0.0f);
}

// ---- The segment's set-up -----------------------------------------------------

void part_start::setup(RenderTargets &ctx)
{
    scene_time = 0.0;
    raw_time = 0.0;
    frame_counter = 0;
    texture_base = 0;
    billboard_program = program::billboards;

    build_show_programs(shaders);
    create_show_textures(ctx, render_width, render_height);
    attach_show_textures(ctx);
    load_show_pictures(ctx);
    load_show_meshes(*this);
    warm_up_show_programs(*this, ctx);
    compile_show_grids();
}
