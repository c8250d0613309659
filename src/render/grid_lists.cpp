#include "render/grid_lists.h"

#include <GL/glew.h>

#include <algorithm>
#include <utility>

GridListBuild::GridListBuild(DisplayListNumber list, GridGeometry geometry)
    : list_(static_cast<GLuint>(list.value)), geometry_(std::move(geometry)),
      pieces_((geometry_.vertex_count + grid_piece_vertices - 1) / grid_piece_vertices)
{
    first_piece_ = pieces_ > 0 ? glGenLists(pieces_) : 0;
}

// The driver's list compiler (Mesa) indexes and de-duplicates the vertices
// of each list through a hash table; on pieces of a few thousand vertices
// that stays in the processor's cache, and a grid compiles about twice as
// fast as in one piece. The pieces keep their own copies of the vertices.
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

    const int floats = geometry_.floats_per_vertex();
    const auto stride = static_cast<GLsizei>(floats * sizeof(float));
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, stride, data.data());
    if (geometry_.texture_coordinates) {
        glClientActiveTexture(GL_TEXTURE0);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(3, GL_FLOAT, stride, data.data() + 2);
    }
    const GLenum mode = geometry_.lines ? GL_LINES : GL_POINTS;
    for (int k = compiled_; k < until; ++k) {
        const int first = k * grid_piece_vertices;
        glNewList(first_piece_ + static_cast<GLuint>(k), GL_COMPILE);
        glDrawArrays(mode, first - first_vertex, std::min(grid_piece_vertices, count - first));
        glEndList();
    }
    glPopClientAttrib();
    compiled_ = until;
    if (complete())
        chain_all();
}

void GridListBuild::chain(int count) const
{
    chained_ = std::clamp(count, 0, compiled_);
    glNewList(list_, GL_COMPILE);
    for (int k = 0; k < chained_; ++k)
        glCallList(first_piece_ + static_cast<GLuint>(k));
    glEndList();
}

void GridListBuild::call_pieces(int from, int to) const
{
    for (int k = std::max(from, 0); k < std::min(to, compiled_); ++k)
        glCallList(first_piece_ + static_cast<GLuint>(k));
}

bool define_empty_lists(std::initializer_list<DisplayListNumber> lists)
{
    for (const DisplayListNumber list : lists) {
        if (glIsList(static_cast<GLuint>(list.value)) == GL_FALSE) {
            glNewList(static_cast<GLuint>(list.value), GL_COMPILE);
            glEndList();
        }
    }
    return true;
}
