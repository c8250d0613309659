// The main show's set-up: every program, texture, attachment, picture, mesh
// and point grid of the show, created once behind the loading screen.
//
// Everything is addressed afterwards by the fixed numbers of
// show/resources.h (texture_base is 0). The order matters: the noise
// textures follow from the shared generator's state, so creating them in
// a different order would change their images; textures exist before they
// are attached, and everything is in place before the first draw.
// Depends on: render/ (RenderTargets, ShaderProgram, the drawing
// interface), the mesh loader.
// What cannot be loaded is listed in the RenderTargets' load_failures for
// the caller (a picture that cannot be read ends the show itself; a missing
// shader or mesh leaves a failed program or empty mesh).
#include "show/part_start_setup.h"

#include "render/render_targets.h"
#include "render/renderer.h"
#include "render/shader_program.h"
#include "runtime/show_state.h"
#include "show/drawing.h"
#include "show/grid_lists.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "show/screen_passes.h"
#include "show/shader_features.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

// ---- The file tables --------------------------------------------------------

const std::array<ShowProgramFiles, 15> show_program_files{{
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
    {program::soft_halo, nullptr, "PostProcessing//f_softhalo.cpp"},
}};

// ---- Set-up steps -----------------------------------------------------------

ShaderFeatures build_show_programs(ShaderProgram &shaders)
{
    // Which programs the data folder offers is decided here, once: the
    // reduced-size passes' files are built only when all three are there,
    // and the frame plans follow what the linked programs declare.
    const bool reduced_size = reduced_size_files_present([](const char *path) {
        std::error_code error;
        return std::filesystem::is_regular_file(path, error);
    });
    const std::size_t count = reduced_size ? show_program_files.size() : specified_program_count;
    for (std::size_t k = 0; k < count; ++k) {
        const ShowProgramFiles &files = show_program_files[k];
        if (files.vertex != nullptr) {
            shaders.build_program(files.vertex, files.fragment, files.slot);
        } else {
            shaders.build_fragment_program(files.fragment, files.slot);
        }
    }
    return detect_shader_features(reduced_size, [&shaders](ProgramSlot slot, const char *name) {
        return shaders.declares_uniform(slot, name);
    });
}

void create_show_textures(RenderTargets &ctx, int width, int height)
{
    // Each setting acts on the texture its factory has just left bound.
    auto r = renderer_for(ctx, nullptr);
    const auto clamp_to_edge = [&r] { r.clamp_bound_texture_to_edge(); };
    const auto nearest_filters = [&r] { r.nearest_filters_on_bound_texture(); };
    ctx.create_noise_texture_rgb(tex::random_rgb, 1024, 1024);
    ctx.create_texture_1d(tex::spectrum, spectrum_texels_wide);
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
    ctx.create_noise_texture_rgba(tex::height_map, top_view_size, top_view_size);
    nearest_filters();
    ctx.create_depth_texture(tex::height_map_depth, top_view_size, top_view_size);
    // Last, so the noise images above keep the generator's sequence.
    for (TextureNumber number : {tex::bloom_reduced, tex::bloom_across_wide, tex::bloom_across_medium,
                                 tex::glow_bloom, tex::highlight_bloom}) {
        ctx.create_noise_texture_rgba(number, width / 4, height / 4);
        clamp_to_edge();
    }
    const HaloSize halo = soft_halo_size(width, height);
    ctx.create_noise_texture_rgba(tex::soft_halo, halo.width, halo.height);
    clamp_to_edge();
}

void attach_show_textures(RenderTargets &ctx)
{
    auto r = renderer_for(ctx, nullptr);
    r.attach_colour(render_set::scene, 0, tex::scene_colour);
    r.attach_colour(render_set::scene, 1, tex::scene_glow);
    r.attach_depth(render_set::scene, tex::scene_depth);
    r.attach_colour(render_set::half, 0, tex::quarter_colour);
    // The loading screen draws between loads and the first frame pushes the
    // attributes: both expect the window's framebuffer.
    r.bind_window();
}

void load_show_pictures(RenderTargets &ctx)
{
    auto r = renderer_for(ctx, nullptr);
    ctx.load_normal_map_texture(tex::normal_map, "textures/noise.jpg");
    ctx.load_texture(tex::letters, "textures/letters.jpg");
    ctx.load_texture(tex::logo, "textures/zvxr.jpg");
    r.clamp_bound_texture_to_edge();
    ctx.load_texture(tex::background, "textures/bg05t.jpg");
}

LoadFailures load_show_meshes(part_start &segment)
{
    // A missing file leaves an empty mesh; the show draws nothing for it.
    LoadFailures failures;
    const auto load = [&](ObjMesh &mesh, const char *file) {
        errno = 0;
        if (!mesh.load(file, false))
            failures.push_back({file, file_problem(file, errno)});
        else if (mesh.indices.empty())
            failures.push_back({file, "holds no faces (not an OBJ mesh, or cut short before its faces)"});
    };
    load(segment.city, "neomeshes//thecity.obj");
    load(segment.title, "neomeshes//title.obj");
    load(segment.vannel, "neomeshes//vannel.obj");
    load(segment.leaves, "neomeshes//leaves.obj");
    // The show draws the vertices and indices; the parse tables go.
    for (ObjMesh *mesh : {&segment.city, &segment.title, &segment.vannel, &segment.leaves})
        mesh->drop_load_tables();
    return failures;
}

// The grids are the particle sources (show/grid_lists.h): about 800,000
// vertices in all, the slowest work of the set-up on Mesa's llvmpipe. The
// opening needs 666 and 1666 only; 668 and 667, which the show never calls,
// are compiled by continue_setup during the first frames.
void compile_opening_grids(part_start &segment)
{
    segment.grids = std::make_unique<ShowGrids>();
    segment.grids->grid.compile_all();
    segment.grids->sparse.compile_all();
}

void warm_up_opening(part_start &segment, RenderTargets &ctx)
{
    warm_up_show_at(segment, ctx, 0.0);
}

void compile_show_grids()
{
    ShowGrids grids;
    for (GridListBuild *build : {&grids.grid, &grids.sparse, &grids.offset, &grids.lines})
        build->compile_all();
}

// ---- The segment's set-up -----------------------------------------------------

part_start::part_start() = default;
part_start::~part_start() = default;

void part_start::setup(RenderTargets &ctx)
{
    setup_steps_done = 0;
    while (setup_step(ctx)) {
    }
}

bool part_start::setup_step(RenderTargets &ctx)
{
    switch (setup_steps_done++) {
    case 0:
        scene_time = 0.0;
        raw_time = 0.0;
        frame_counter = 0;
        texture_base = 0;
        billboard_program = program::billboards;
        features = build_show_programs(shaders);
        for (LoadFailure &f : shaders.take_failures())
            ctx.load_failures.push_back(std::move(f));
        return true;
    case 1:
        create_show_textures(ctx, render_width, render_height);
        attach_show_textures(ctx);
        return true;
    case 2:
        load_show_pictures(ctx);
        return true;
    case 3:
        for (LoadFailure &f : load_show_meshes(*this))
            ctx.load_failures.push_back(std::move(f));
        return true;
    case 4:
        compile_opening_grids(*this);
        return true;
    case 5:
        warm_up_opening(*this, ctx);
        late_setup_steps_done = 0;
        return false;
    default:
        --setup_steps_done; // done: nothing more
        return false;
    }
}
