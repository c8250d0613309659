// Plain values of the two screen passes.
// Depends on: runtime/generator.h. No GL.
#pragma once

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

// The glow of the combine pass: a wide and a medium bloom, mixed 0.4 : 0.6.
inline constexpr BloomWidth glow_bloom_wide{0.01306f, 0.02333f};
inline constexpr BloomWidth glow_bloom_medium{0.00420f, 0.00746f};

// The highlights of the blur pass; "Limit" (adjust value 1, 0 in playback)
// widens it as it widens the soft blur: by 1 + max(limit, 0).
BloomWidth highlight_bloom_width(double limit);

// The distance between two of the blur program's 13 taps (three standard
// deviations either side): half a standard deviation.
inline float bloom_tap_step(float deviation)
{
    return deviation * 0.5f;
}
