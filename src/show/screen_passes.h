// Plain values of the two screen passes.
// Depends on: runtime/generator.h. No GL.
#pragma once

// "Limit" of the combine pass: the shared generator is reseeded from the
// integer part of scene_time * 423424 and 1000 values are dropped, so the
// grain changes with time but repeats for equal times. Leaves the shared
// generator in that state plus one draw, as the pass always has.
double combine_limit(double scene_time);
