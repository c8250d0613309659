// The passes of one director frame, in the order the frame plan lists
// them: each hands its part of the plan (show/frame_plan.h) to the drawing
// interface. Each states what it leaves bound; the next one sets what it
// needs. Escape's overlay, which the frame loop draws over the finished
// frame, lives here beside the director's own fade.
//
// Depends on: the frame plan, the drawing interface. GL thread only.
#pragma once

#include <functional>

class Renderer;
struct FramePlan;

// The frame's 512 spectrum values into texture 501 as RGB texels.
void upload_spectrum(Renderer &r, const FramePlan &plan);

// The particle scene (drawn by `draw_scene`) into render set 0 (two
// outputs), resolved into textures 0 (colour) and 11 (glow), and 26
// (depth) where the plan's passes read it. Leaves set 0's framebuffers
// bound.
void scene_pass(Renderer &r, const FramePlan &plan, const std::function<void()> &draw_scene);

// After the glow's bloom (glow_bloom_pass, bloom_passes.h): program 3 over
// the resolved scene, drawn into set 0 and resolved into texture 0. Leaves
// program 3 current and set 0 bound.
void combine_pass(Renderer &r, const FramePlan &plan);

// After the highlights' bloom and the soft blur's halo (bloom_passes.h):
// program 4 from texture 0 to the window: clears the whole window to black
// first where the picture leaves bars and draws the picture into its place
// (centred). Leaves the window bound, no program current, the viewport at
// the picture.
void blur_pass(Renderer &r, const FramePlan &plan);

// Matrices to identity, fixed-function state reset, alpha blending on.
void reset_after_passes(Renderer &r);

// The black overlay over the current viewport at the plan's alpha (skipped
// when it is below the draw threshold).
void fade_overlay(Renderer &r, const FramePlan &plan);

// Escape's overlay: a camera-facing quad in grey level a over the whole
// window, drawn with blending off, so it replaces the picture rather than
// darkening it. Unbinds the render sets; GL state is restored afterwards.
void escape_overlay(Renderer &r, int window_width, int window_height, double a);
