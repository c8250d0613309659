// The blooms, made at quarter size in render set 2 so that wide spreads
// cost a few taps: a reduction (each pixel the mean of the 4 x 4 it
// covers), then a separable Gaussian across and down. The combine pass
// reads the glow's two blooms, the blur pass the highlights' bloom.
// Depends on: part_start (its ShaderProgram), RenderTargets, the widths of
// screen_passes.h. GL thread only. Each leaves render set 2's framebuffers
// bound, no program current, texture unit 0 active, the viewport at the
// quarter size.
#pragma once

class part_start;
class RenderTargets;

// Glow and density (texture 11) into textures 36 (wide bloom) and 37
// (medium bloom, alpha the local density). width x height: the render size.
void glow_bloom_pass(part_start &show, RenderTargets &ctx, int width, int height);

// What is brighter than 0.45 in the combined image (texture 0) into
// texture 38.
void highlight_bloom_pass(part_start &show, RenderTargets &ctx, int width, int height);
