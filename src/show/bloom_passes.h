// The passes at reduced size. The blooms, made at quarter size in render
// set 2 so that wide spreads cost a few taps: a reduction (each pixel the
// mean of the 4 x 4 it covers), then a separable Gaussian across and down.
// The combine pass reads the glow's bloom, the blur pass the highlights'
// bloom and the soft blur's halo, made at half size in render set 1 (at
// full size in set 0 for pictures under 1280 pixels wide).
// Each is planned as a list of screen steps (plain values, planned here and
// kept in the frame plan) and drawn by draw_screen_steps.
// Depends on: the drawing interface, the widths of screen_passes.h. The
// plans are pure; the drawing is GL thread only. Each leaves render set 2's framebuffers
// bound (the halo: its set's), no program current, texture unit 0 active, the
// viewport at the reduced size.
#pragma once

#include "show/screen_passes.h"
#include "show/screen_step.h"

#include <vector>

class Renderer;

// The steps of the three passes below. width x height: the render size.
std::vector<ScreenStep> plan_glow_bloom(int width, int height);
std::vector<ScreenStep> plan_highlight_bloom(int width, int height, const BloomWidth &spread);
ScreenStep plan_soft_halo(const HaloSize &halo, float radius);

// Draws each step (its set, size, program, uniforms, textures, a full-screen
// quad, the resolve), then leaves no program current and unit 0 active.
void draw_screen_steps(Renderer &r, const std::vector<ScreenStep> &steps);

// A step's uniforms in their order, and its textures on their units (each
// with its filter), with its program current.
void set_step_uniforms(Renderer &r, const ScreenStep &s);
void bind_step_textures(Renderer &r, const ScreenStep &s);

// Glow and density (texture 11) into texture 36: a wide and a medium bloom
// mixed in one image, alpha the local density. width x height: the render
// size.
void glow_bloom_pass(Renderer &r, int width, int height);

// What is brighter than 0.45 in the combined image (texture 0) into
// texture 38, spread by `spread`.
void highlight_bloom_pass(Renderer &r, int width, int height, const BloomWidth &spread);

// The soft blur's halo of the combined image (texture 0) into texture 39,
// at the size soft_halo_size gives (`halo`): at half size, four filtered
// reads a pixel there instead of four a pixel at full size. `radius`: the
// pinwheel's "Radius".
void soft_halo_pass(Renderer &r, const HaloSize &halo, float radius);
