// The main show's set-up, step by step: part_start::setup runs these in
// order; start-up timing runs them one by one to measure each asset kind.
//
// Depends on: render/ (RenderTargets, ShaderProgram), the mesh loader, the
// JPEG texture loaders, GL. Main (GL) thread, after the render sets exist.
// File names are relative to the working directory (the data folder).
#pragma once

#include <array>

class RenderTargets;
class ShaderProgram;
class part_start;

// One program of the show: vertex file (nullptr for a fragment-only
// program, which runs with the fixed-function vertex stage) and fragment file.
struct ShowProgramFiles {
    int slot;
    const char *vertex;
    const char *fragment;
};

// In build order.
extern const std::array<ShowProgramFiles, 14> show_program_files;

// 1. Fourteen programs, in the order of show_program_files. Leaves the last
//    fragment-only program current (as its build does).
void build_show_programs(ShaderProgram &shaders);
// 2. Sixteen render and data textures with their settings; width x height is
//    the render size (render set 0).
void create_show_textures(RenderTargets &ctx, int width, int height);
// 3. Scene colour, glow and depth on render set 0; quarter colour on set 1.
//    Leaves the window's framebuffer bound.
void attach_show_textures(RenderTargets &ctx);
// 4. The four pictures; three of them report progress (the loading screen).
void load_show_pictures(RenderTargets &ctx);
// 5. The four meshes, normals as stored in the files.
void load_show_meshes(part_start &segment);
// 6. Draws the show at three scene times at a 1 x 1 picture, on stand-in
//    grids, so that the driver's first-use work on every program is done
//    before the first show frame (part_start_warm_up.cpp). Leaves the
//    segment's clocks, the cameras, the shared generator and the sizes as
//    it found them.
void warm_up_show_programs(part_start &segment, RenderTargets &ctx);
// 7. The four point and line grids as display lists (compiled only).
void compile_show_grids();
// Grids 666 and 1666 as a few points of the same layout, for step 6.
void compile_stand_in_grids();
