// The show's fixed resource numbers in one table: texture numbers, program
// slots, render sets and display lists, each of its own type
// (render/resource_numbers.h), and the sizes the render sets are made at.
// Passes name them from here only: no other file spells one of these
// numbers.
#pragma once

#include "render/resource_numbers.h"

#include <array>

namespace tex
{
inline constexpr TextureNumber scene_colour{0}; // scene colour, then the combined image
inline constexpr TextureNumber normal_map{10};  // from "textures/noise.jpg"
inline constexpr TextureNumber scene_glow{11};  // second colour output of the scene
inline constexpr TextureNumber blob{12};        // never created
inline constexpr TextureNumber scene_depth{26};
inline constexpr TextureNumber random_rgb{27};     // 1024 x 1024 noise
inline constexpr TextureNumber quarter_colour{28}; // attached to render set 1
inline constexpr TextureNumber mesh_depth{29};     // nothing renders into it
inline constexpr TextureNumber spare_colour{32};
// Quarter-size bloom textures (render set 2): the reduction, the two
// horizontal steps, the glow's bloom and the highlights' bloom.
inline constexpr TextureNumber bloom_reduced{33};
inline constexpr TextureNumber bloom_across_wide{34};
inline constexpr TextureNumber bloom_across_medium{35};
inline constexpr TextureNumber glow_bloom{36}; // wide and medium mixed; alpha: the local point density
inline constexpr TextureNumber highlight_bloom{38};
// The soft blur's halo: half size (render set 1) from 1280 pixels wide, full
// size (render set 0) below.
inline constexpr TextureNumber soft_halo{39};
inline constexpr TextureNumber height_map{101}; // 512 x 512 top view
inline constexpr TextureNumber height_map_depth{102};
inline constexpr TextureNumber background{111};   // "textures/bg05t.jpg"
inline constexpr TextureNumber letters{131};      // "textures/letters.jpg"
inline constexpr TextureNumber logo{132};         // "textures/zvxr.jpg"
inline constexpr TextureNumber cube{200};         // never created
inline constexpr TextureNumber spectrum{501};     // 512-texel 1D
inline constexpr TextureNumber loader_quad{5010}; // the loading screen's quad: its base + 10
} // namespace tex

namespace program
{
inline constexpr ProgramSlot lit_mesh{1};
inline constexpr ProgramSlot combine{3};
inline constexpr ProgramSlot blur{4};
inline constexpr ProgramSlot velocities{5};
inline constexpr ProgramSlot blur_highlights{6};
inline constexpr ProgramSlot god_rays{7};
inline constexpr ProgramSlot bloom_reduce{8}; // quarter-size reduction
inline constexpr ProgramSlot bloom_blur{9};   // one direction of two Gaussian blurs
inline constexpr ProgramSlot soft_halo{10};   // the soft blur's halo at half size
inline constexpr ProgramSlot simple_blur{13};
inline constexpr ProgramSlot billboards{21};
inline constexpr ProgramSlot billboards_insect{23};
inline constexpr ProgramSlot billboards_leaves{25};
inline constexpr ProgramSlot stars{27};
inline constexpr ProgramSlot letters{29};
} // namespace program

namespace render_set
{
inline constexpr RenderSetNumber scene{0};
inline constexpr RenderSetNumber half{1};
inline constexpr RenderSetNumber quarter{2};
inline constexpr RenderSetNumber top_view{3}; // 512 x 512
} // namespace render_set

namespace display_list
{
inline constexpr DisplayListNumber grid{666};         // 512 x 512 points
inline constexpr DisplayListNumber sparse_grid{1666}; // 171 x 128 points (stars)
inline constexpr DisplayListNumber offset_grid{668};  // not called by the show
inline constexpr DisplayListNumber line_grid{667};    // not called by the show
} // namespace display_list

// The loading screen numbers its textures from this base.
inline constexpr int loader_texture_base = 5000;

// The height map's square (render set 3 and textures 101 and 102).
inline constexpr int top_view_size = 512;

// The 1D spectrum texture's width: one texel per spectrum value.
inline constexpr int spectrum_texels_wide = 512;

// The render sets as start-up makes them for a render size: set 0 at that
// size, set 1 at half and set 2 at a quarter of it (integer division), set 3
// at the height map's square.
struct RenderSetSize {
    RenderSetNumber set;
    int width, height;
};
constexpr std::array<RenderSetSize, 4> show_render_sets(int render_width, int render_height)
{
    return {{{render_set::scene, render_width, render_height},
             {render_set::half, render_width / 2, render_height / 2},
             {render_set::quarter, render_width / 4, render_height / 4},
             {render_set::top_view, top_view_size, top_view_size}}};
}
