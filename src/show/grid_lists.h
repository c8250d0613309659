// The show's four point and line grids: what vertices each holds
// (GridShape, plain values) and the display lists they are compiled into
// in pieces (render/grid_lists.h), lists 666, 1666, 668 and 667. The grids
// the show never calls are finished during its first frames.
// Depends on: render/grid_lists.h, show/point_randoms.h. The shapes are
// pure; ShowGrids is made on the GL thread.
#pragma once

#include "render/grid_lists.h"

#include <vector>

// Which vertices a grid holds, in drawing order (vertex n of the grid).
// Positions are stored as (x, y): the grids lie in the z = 0 plane, and a
// two-component position reaches the vertex stage as (x, y, 0, 1), as the
// same point given with z = 0 would.
struct GridShape {
    enum Kind { points, lines } kind = points;
    int i_step = 1;       // points: every i_step-th column (outer loop)
    int j_step = 1;       // points: every j_step-th row (inner loop)
    float dx = 0.0f;      // points: shift to the right
    bool randoms = false; // points: their three random values as texture coordinate 0
    int vertex_count() const;
    int floats_per_vertex() const { return randoms ? 5 : 2; }
    // Appends the floats of vertices [first, first + count) to `out`.
    void append_vertices(int first, int count, std::vector<float> &out) const;
};

// The shapes of lists 666, 1666, 668 and 667.
GridShape main_grid_shape();
GridShape sparse_grid_shape();
GridShape offset_grid_shape();
GridShape line_grid_shape();

// The drawing toolkit's description of a shape's vertices.
GridGeometry geometry_of(const GridShape &shape);

// The four grids of the show. Making it defines the four grid numbers
// (empty lists) before any piece is numbered, so that glGenLists never hands
// out one of them for a piece, then reserves every piece number.
class ShowGrids
{
    bool numbers_defined_; // first: set before the builds number their pieces

  public:
    ShowGrids();
    GridListBuild grid;   // 666
    GridListBuild sparse; // 1666
    GridListBuild offset; // 668, not called by the show
    GridListBuild lines;  // 667, not called by the show
};
