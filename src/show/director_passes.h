// The passes of one director frame, in the order part_start::draw runs
// them, as separate calls so that tools (the frame bench, the still
// renderer) can time or repeat them. Each states what it leaves bound; the
// next one sets what it needs. Escape's overlay, which the frame loop draws
// over the finished frame, lives here beside the director's own fade.
//
// Depends on: part_start, RenderTargets, the drawing interface, the
// plain-value functions of the clock (camera_script, fade_cues,
// screen_passes). GL thread only.
#pragma once

#include "show/letterbox.h"

class part_start;
class RenderTargets;
class Renderer;
struct FrameInfo;

// The frame's 512 spectrum values into texture 501 as RGB texels.
void upload_spectrum(Renderer &r, const FrameInfo &frame);

// Second camera, top-view pass, then the main camera from the script.
void place_cameras_and_top_view(part_start &show, RenderTargets &ctx);

// The particle scene into render set 0 (two outputs), resolved into
// textures 0 (colour) and 11 (glow). Leaves set 0's framebuffers bound.
void scene_pass(part_start &show, RenderTargets &ctx, int width, int height);

// After the glow's bloom (glow_bloom_pass, bloom_passes.h): program 3 over
// the resolved scene, drawn into set 0 and resolved into texture 0. Leaves
// program 3 current and set 0 bound.
void combine_pass(part_start &show, RenderTargets &ctx, int width, int height);

// After the highlights' bloom and the soft blur's halo (bloom_passes.h):
// program 4 from texture 0 to the window: clears the whole window to black
// first and draws the picture into `picture` (centred). Leaves the window
// bound, no program current, the viewport at `picture`.
void blur_pass(part_start &show, RenderTargets &ctx, int window_width, int window_height,
               const Viewport &picture);

// Matrices to identity, fixed-function state reset, alpha blending on.
void reset_after_passes(Renderer &r);

// The black overlay over the current viewport (skipped when alpha is
// below the draw threshold).
void fade_overlay(Renderer &r, double alpha);

// Escape's overlay: a camera-facing quad in grey level a over the whole
// window, drawn with blending off, so it replaces the picture rather than
// darkening it. Unbinds the render sets; GL state is restored afterwards.
void escape_overlay(Renderer &r, int window_width, int window_height, double a);
