// GridListBuild on WebGL2: each piece is a static vertex buffer
// (webgl_lists.h), the grid list a chain of them.
#include "render/grid_lists.h"

#include "render/webgl/webgl_lists.h"

#include <algorithm>
#include <utility>

GridListBuild::GridListBuild(DisplayListNumber list, GridGeometry geometry)
    : list_(static_cast<unsigned>(list.value)), geometry_(std::move(geometry)),
      pieces_((geometry_.vertex_count + grid_piece_vertices - 1) / grid_piece_vertices)
{
    first_piece_ = pieces_ > 0 ? WebGlLists::current().generate(pieces_) : 0;
}

void GridListBuild::compile_pieces(int most)
{
    const int until = std::min(pieces_, compiled_ + std::max(most, 0));
    if (until == compiled_)
        return;
    const int count = geometry_.vertex_count;
    const int first_vertex = compiled_ * grid_piece_vertices;
    const int last_vertex = std::min(count, until * grid_piece_vertices);
    std::vector<float> data;
    geometry_.append_vertices(first_vertex, last_vertex - first_vertex, data);
    const GLenum mode = geometry_.lines ? GL_LINES : GL_POINTS;
    for (int k = compiled_; k < until; ++k) {
        const int first = k * grid_piece_vertices;
        WebGlLists::current().define_piece(first_piece_ + static_cast<unsigned>(k), mode, data,
                                           first - first_vertex, std::min(grid_piece_vertices, count - first),
                                           geometry_.texture_coordinates);
    }
    compiled_ = until;
    if (complete())
        chain_all();
}

void GridListBuild::chain(int count) const
{
    chained_ = std::clamp(count, 0, compiled_);
    std::vector<unsigned> calls;
    for (int k = 0; k < chained_; ++k)
        calls.push_back(first_piece_ + static_cast<unsigned>(k));
    WebGlLists::current().define_chain(list_, std::move(calls));
}

void GridListBuild::call_pieces(int from, int to) const
{
    for (int k = std::max(from, 0); k < std::min(to, compiled_); ++k)
        WebGlLists::current().call(first_piece_ + static_cast<unsigned>(k));
}

bool define_empty_lists(std::initializer_list<DisplayListNumber> lists)
{
    for (const DisplayListNumber list : lists)
        if (!WebGlLists::current().defined(static_cast<unsigned>(list.value)))
            WebGlLists::current().define_chain(static_cast<unsigned>(list.value), {});
    return true;
}
