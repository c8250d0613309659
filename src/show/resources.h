// The show's fixed resource numbers in one table: texture numbers, program
// slots, render sets and display lists. Passes name them from here only.
#pragma once

namespace tex
{
inline constexpr int scene_colour = 0; // scene colour, then the combined image
inline constexpr int normal_map = 10;  // from "textures/noise.jpg"
inline constexpr int scene_glow = 11;  // second colour output of the scene
inline constexpr int blob = 12;        // never created
inline constexpr int scene_depth = 26;
inline constexpr int random_rgb = 27;     // 1024 x 1024 noise
inline constexpr int quarter_colour = 28; // attached to render set 1
inline constexpr int mesh_depth = 29;     // nothing renders into it
inline constexpr int spare_colour = 32;
// Quarter-size bloom textures (render set 2): the reduction, the two
// horizontal steps, the glow's bloom and the highlights' bloom.
inline constexpr int bloom_reduced = 33;
inline constexpr int bloom_across_wide = 34;
inline constexpr int bloom_across_medium = 35;
inline constexpr int glow_bloom = 36; // wide and medium mixed; alpha: the local point density
inline constexpr int highlight_bloom = 38;
inline constexpr int soft_halo = 39;   // half size (render set 1): the soft blur's halo
inline constexpr int height_map = 101; // 512 x 512 top view
inline constexpr int height_map_depth = 102;
inline constexpr int background = 111;   // "textures/bg05t.jpg"
inline constexpr int letters = 131;      // "textures/letters.jpg"
inline constexpr int logo = 132;         // "textures/zvxr.jpg"
inline constexpr int cube = 200;         // never created
inline constexpr int spectrum = 501;     // 512-texel 1D
inline constexpr int loader_quad = 5010; // the loading screen's quad
} // namespace tex

namespace program
{
inline constexpr int lit_mesh = 1;
inline constexpr int combine = 3;
inline constexpr int blur = 4;
inline constexpr int velocities = 5;
inline constexpr int blur_highlights = 6;
inline constexpr int god_rays = 7;
inline constexpr int bloom_reduce = 8; // quarter-size reduction
inline constexpr int bloom_blur = 9;   // one direction of two Gaussian blurs
inline constexpr int soft_halo = 10;   // the soft blur's halo at half size
inline constexpr int simple_blur = 13;
inline constexpr int billboards = 21;
inline constexpr int billboards_insect = 23;
inline constexpr int billboards_leaves = 25;
inline constexpr int stars = 27;
inline constexpr int letters = 29;
} // namespace program

namespace render_set
{
inline constexpr int scene = 0;
inline constexpr int half = 1;
inline constexpr int quarter = 2;
inline constexpr int top_view = 3; // 512 x 512
} // namespace render_set

namespace display_list
{
inline constexpr int grid = 666;         // 512 x 512 points
inline constexpr int sparse_grid = 1666; // 171 x 128 points (stars)
inline constexpr int offset_grid = 668;  // not called by the show
inline constexpr int line_grid = 667;    // not called by the show
} // namespace display_list
