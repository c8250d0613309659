// The show's four point and line grids as display lists, compiled in pieces.
//
// Each grid list (666, 1666, 668, 667) only calls a chain of piece lists of
// at most 4096 vertices each, numbered by glGenLists when the build is made;
// calling it draws the same primitives in the same order as one draw of the
// whole grid would. Pieces can be compiled a few at a time (the grids the
// show never calls are finished during its first frames), and a grid list
// can be re-chained to its first piece only, so that a warm-up draw costs a
// few thousand vertices instead of a quarter million.
// Depends on: GL (display lists, client arrays), show/point_randoms.h.
// GL thread only.
#pragma once

#include "render/resource_numbers.h"

#include <GL/glew.h>

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

inline constexpr int grid_piece_vertices = 4096;

class GridListBuild
{
  public:
    // Reserves the piece numbers (glGenLists); nothing is compiled yet.
    GridListBuild(DisplayListNumber list, GridShape shape);

    int piece_count() const { return pieces_; }
    int pieces_compiled() const { return compiled_; }
    bool complete() const { return compiled_ == pieces_; }

    // Compiles up to `most` further pieces; once the last one is in, the grid
    // list is chained to all of them.
    void compile_pieces(int most);
    void compile_all() { compile_pieces(pieces_); }
    // The grid list calls its first `count` pieces (clamped to those compiled).
    void chain(int count) const;
    void chain_all() const { chain(compiled_); }
    // Calls pieces [from, to) directly: part of what the grid list draws.
    void call_pieces(int from, int to) const;

  private:
    GLuint list_;
    GridShape shape_;
    int pieces_ = 0;
    GLuint first_piece_ = 0;
    int compiled_ = 0;
};

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
