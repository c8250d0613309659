// A point or line grid as a display list compiled in pieces.
//
// The grid list only calls a chain of piece lists of at most 4096 vertices
// each, numbered by glGenLists when the build is made; calling it draws the
// same primitives in the same order as one draw of the whole grid would.
// Pieces can be compiled a few at a time, and a grid list can be re-chained
// to its first pieces only, so that a warm-up draw costs a few thousand
// vertices instead of a quarter million. What the vertices are is the
// caller's (GridGeometry); the show's grids are in show/grid_lists.h.
// Depends on: GL (display lists, client arrays), in its source only.
// GL thread only.
#pragma once

#include "render/resource_numbers.h"

#include <functional>
#include <initializer_list>
#include <vector>

// The vertices of a grid: positions (x, y) in floats 0 and 1 of each
// vertex, and with texture_coordinates three more floats as texture
// coordinate 0.
struct GridGeometry {
    bool lines = false; // else points
    int vertex_count = 0;
    bool texture_coordinates = false;
    int floats_per_vertex() const { return texture_coordinates ? 5 : 2; }
    // Appends the floats of vertices [first, first + count) to `out`.
    std::function<void(int first, int count, std::vector<float> &out)> append_vertices;
};

inline constexpr int grid_piece_vertices = 4096;

class GridListBuild
{
  public:
    // Reserves the piece numbers (glGenLists); nothing is compiled yet.
    GridListBuild(DisplayListNumber list, GridGeometry geometry);

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
    // How many pieces the grid list calls now.
    int chained() const { return chained_; }
    // Calls pieces [from, to) directly: part of what the grid list draws.
    void call_pieces(int from, int to) const;

  private:
    unsigned list_;
    GridGeometry geometry_;
    int pieces_ = 0;
    unsigned first_piece_ = 0;
    int compiled_ = 0;
    mutable int chained_ = 0;
};

// Defines each of `lists` that is not a display list yet as an empty one,
// so that glGenLists never hands out its number for a piece. True.
bool define_empty_lists(std::initializer_list<DisplayListNumber> lists);
