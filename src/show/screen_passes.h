// Plain values of the two screen passes.
// Depends on: runtime/generator.h. No GL.
#pragma once

#include <array>

// "Limit" of the combine pass: the shared generator is reseeded from the
// integer part of scene_time * 423424 and 1000 values are dropped, so the
// grain changes with time but repeats for equal times. Leaves the shared
// generator in that state plus one draw, as the pass always has.
double combine_limit(double scene_time);

// The quarter-size blooms are separable Gaussians, each given as its
// standard deviation across and down, in texture coordinates of the
// picture. They match the spread of the wide tap rings they replace.
struct BloomWidth {
    float across;
    float down;
};

// The glow of the combine pass: a wide and a medium bloom, mixed 0.4 : 0.6
// (the medium bloom's share) into one image.
inline constexpr BloomWidth glow_bloom_wide{0.01306f, 0.02333f};
inline constexpr BloomWidth glow_bloom_medium{0.00420f, 0.00746f};
inline constexpr float glow_bloom_medium_share = 0.6f;

// The highlights of the blur pass; "Limit" (adjust value 1, 0 in playback)
// widens it as it widens the soft blur: by 1 + max(limit, 0).
BloomWidth highlight_bloom_width(double limit);

// The soft blur's halo (a pinwheel of four filtered reads about 1.4 pixels
// out at 1280 x 720, the same share of the picture at any size) is made at
// half size where the picture is 1280 pixels wide or more: reading it back
// between its texels spreads it by about 0.85 of a pixel squared more along
// each axis, which the pinwheel gives up by being smaller (`radius_scale`,
// 0.54 at 1280 wide, nearer 1 for wider pictures). Narrower
// pictures make it at full size, where that spread would be a large part
// of a small halo.
struct HaloSize {
    int width, height;
    bool half;
    float radius_scale;
};
HaloSize soft_halo_size(int width, int height);

// One direction of a bloom blur as the blur program reads it: the centre
// and `reads` filtered reads either side, at `offset` texels (of the
// quarter-size image) with `weight` each (the centre's is weight[0]; all
// of them, both sides counted, sum to 1).
struct BlurTaps {
    static constexpr int max_reads = 6;
    int reads = 0;
    std::array<float, max_reads> offset{};
    std::array<float, max_reads + 1> weight{1.0f};
};

// A Gaussian of `deviation` texels in `reads` reads either side. Where they
// reach far enough (two texels a read, to 2.5 deviations or more) each read
// takes two neighbouring texels at once, placed between them by their
// weights, so the blur is the Gaussian's weights at the texel centres,
// with nothing past three deviations or past the reads' reach. Wider
// blurs, and those under a texel, space the reads evenly over three
// deviations, each a Gaussian weight.
BlurTaps gaussian_taps(float deviation, int reads);
