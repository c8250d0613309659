// Uniform values of the particle programs, as plain functions of scene
// time: the five main-cloud passes, the stars and the letters.
// Depends on: runtime/shaping.h, show/resources.h. Pure, no GL.
#pragma once

#include "render/resource_numbers.h"

struct ParticleUniforms {
    double ttime = 0;
    double particlesize = 0;
    double magnifier = 0;
    double realttime = 0;
};

inline constexpr int main_cloud_passes = 5;

// Pass i (0..4) of the main cloud. Before 21 the passes are spread 0.03 s
// apart in "ttime", after 21 by 0.01 s; the point size grows from 0 (t <= 1)
// to 0.4 at 21 and is 0.3 after it.
ParticleUniforms main_cloud_pass(double scene_time, int pass);

// The passes of a cloud lie a few hundredths of a second apart, so their
// points land on the same pixels (within a small fraction of one): one draw
// stands for all of them. It takes the mean of their uniform values (the
// middle pass of the main cloud's five) and the fragment programs weight it
// by the number of passes ("passes"), rounding to the scene's 8-bit targets
// first as each pass's blend would. One draw instead of five is what lets a
// software renderer keep up; where a point moves fast (the insect's wings),
// its trail is shorter.
ParticleUniforms main_cloud_draw(double scene_time);

// "rttime" of the main cloud: the city's rise after 103.3.
double main_cloud_rttime(double scene_time);

// The stars (sparse grid): one pass.
ParticleUniforms stars_pass(double scene_time);

inline constexpr int letters_passes = 2;

// Letters are drawn only while t < 21.8 or t > 204 (strict on both sides).
bool letters_drawn(double scene_time);

// Texture number of the letters program's picture: the letters picture,
// or the logo once t > 100 (so the logo shows at the closing only).
TextureNumber letters_picture(double scene_time);

// Pass i (0, 1) of the letters.
ParticleUniforms letters_pass(double scene_time, int pass);

// The one draw that stands for the letters' two passes (see main_cloud_draw).
ParticleUniforms letters_draw(double scene_time);
