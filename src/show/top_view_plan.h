// What the top-view pass draws at a scene time, as plain values: whether it
// runs at all, the common scale, which meshes appear and where, and the
// fifty falling leaves.
//
// The leaves come from the shared generator seeded with a fixed value, so
// every leaf keeps its start place, size, spin and shape in every frame and
// only the time moves them. plan_top_view consumes the shared generator
// exactly as the pass always has (seed, one discarded value, and the
// leaves' reseed and draws), so whatever reads the generator afterwards
// sees the same state.
// Depends on: runtime/generator.h, runtime/shaping.h. No GL.
#pragma once

#include <vector>

// Skip windows: 5 < t < 40, 142 < t < 159 and t > 203 (strict), in which
// the height map keeps what it last received.
bool top_view_runs(double scene_time);

// The latest scene time, not after t, at which the pass ran: t itself, or
// the start of the skip window t lies in. The height map at t holds what
// the pass drew then (a frame drawn on its own, as a still, renders the
// map at that time first).
double top_view_source_time(double scene_time);

struct LeafPlacement {
    double x = 0, y = 0, z = 0; // translation (the height is y)
    double size = 0;            // uniform scale, 0 once fallen past y = 2.2
    double spin_degrees = 0;    // about (0, 1, 0)
    int object = 0;             // 0..5, object of the leaves mesh
};

struct TopViewPlan {
    bool runs = false;
    double scale = 1; // 2 after t > 84, else 1 (on top of 0.1 and 0.57)
    bool city = false;
    bool city_tilted = false; // rotate 20 degrees about x
    double city_rise = 0;     // translate (0, rise, 0) when tilted
    bool insect = false;
    std::vector<LeafPlacement> leaves;
    bool cleared = false; // t > 202: the map handed over is empty
};

inline constexpr unsigned top_view_seed = 4234234;
inline constexpr int leaf_count = 50;
inline constexpr int leaf_shapes = 6;

TopViewPlan plan_top_view(double scene_time);
