// The main show's set-up, step by step: part_start::setup runs these in
// order; start-up timing runs them one by one to measure each asset kind.
//
// Depends on: render/ (RenderTargets, ShaderProgram), the mesh loader, the
// JPEG texture loaders, the drawing interface. Main (GL) thread, after the
// render sets exist.
// File names are relative to the working directory (the data folder).
#pragma once

#include "render/load_failures.h"
#include "render/resource_numbers.h"
#include "show/shader_features.h"

#include <array>
#include <cstddef>

class RenderTargets;
class ShaderProgram;
class part_start;

// One program of the show: vertex file (nullptr for a fragment-only
// program, which runs with the fixed-function vertex stage) and fragment file.
struct ShowProgramFiles {
    ProgramSlot slot;
    const char *vertex;
    const char *fragment;
};

// In build order: the show's twelve programs (nineteen files), then the
// three of the reduced-size passes, which a data folder may lack
// (show/shader_features.h).
extern const std::array<ShowProgramFiles, 15> show_program_files;
inline constexpr std::size_t specified_program_count = 12;

// 1. The twelve programs in the order of show_program_files, then the
//    reduced-size passes' three when all their files are present. Returns
//    what the built programs offer (show/shader_features.h), which the
//    frame plans follow. Leaves the last fragment-only program current (as
//    its build does).
ShaderFeatures build_show_programs(ShaderProgram &shaders);
// 2. Sixteen render and data textures with their settings; width x height is
//    the render size (render set 0).
void create_show_textures(RenderTargets &ctx, int width, int height);
// 3. Scene colour, glow and depth on render set 0; quarter colour on set 1.
//    Leaves the window's framebuffer bound.
void attach_show_textures(RenderTargets &ctx);
// 4. The four pictures; three of them report progress (the loading screen).
void load_show_pictures(RenderTargets &ctx);
// 5. The four meshes, normals as stored in the files. Returns the files
//    that are missing, unreadable or hold no faces (their meshes are empty).
LoadFailures load_show_meshes(part_start &segment);
// 6. The grids: numbers and pieces of all four reserved, 666 and 1666
//    compiled; 668 and 667 stay empty until part_start::continue_setup.
void compile_opening_grids(part_start &segment);
// 7. Draws the opening once at a 1 x 1 picture (warm_up_show_at), so that
//    the driver's first-use work on its programs is done before the first
//    show frame.
void warm_up_opening(part_start &segment, RenderTargets &ctx);

// Draws the show once at scene time t at a 1 x 1 picture with the grids cut
// to their first piece and a stand-in height map (part_start_warm_up.cpp).
// Leaves the segment's clocks, the cameras, the shared generator, the sizes,
// the height map and the grids as it found them.
void warm_up_show_at(part_start &segment, RenderTargets &ctx, double t);
// The four point and line grids as display lists, all at once (compiled
// only); the pieces it numbers are not the segment's.
void compile_show_grids();
