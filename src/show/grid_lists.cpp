#include "show/grid_lists.h"

#include "show/point_randoms.h"
#include "show/resources.h"

#include <algorithm>

namespace
{

// Every grid lies on a 512 x 512 lattice of [0, 1).
constexpr int lattice_size = 512;

float lattice(int i)
{
    return static_cast<float>(i) / static_cast<float>(lattice_size);
}

int steps_of(int step)
{
    return (lattice_size + step - 1) / step;
}

// Defines the grid numbers that do not exist yet as empty lists.
bool define_grid_numbers()
{
    for (const DisplayListNumber list : {display_list::grid, display_list::sparse_grid,
                                         display_list::offset_grid, display_list::line_grid}) {
        if (glIsList(static_cast<GLuint>(list.value)) == GL_FALSE) {
            glNewList(static_cast<GLuint>(list.value), GL_COMPILE);
            glEndList();
        }
    }
    return true;
}

} // namespace

int GridShape::vertex_count() const
{
    if (kind == lines)
        return 2 * lattice_size * lattice_size;
    return steps_of(i_step) * steps_of(j_step);
}

void GridShape::append_vertices(int first, int count, std::vector<float> &out) const
{
    out.reserve(out.size() + static_cast<std::size_t>(count * floats_per_vertex()));
    for (int n = first; n < first + count; ++n) {
        if (kind == lines) {
            // One short horizontal line from every lattice point, i outer.
            const int line = n / 2;
            const int i = line / lattice_size, j = line % lattice_size;
            out.insert(out.end(), {lattice(i + n % 2), lattice(j)});
            continue;
        }
        const int i = n / steps_of(j_step) * i_step;
        const int j = n % steps_of(j_step) * j_step;
        out.insert(out.end(), {lattice(i) + dx, lattice(j)});
        if (randoms) {
            const auto r = point_randoms(i, j);
            out.insert(out.end(), {r[0], r[1], r[2]});
        }
    }
}

// The particle programs read every point's random values; 668 and 667 are
// never drawn and hold their positions only.
GridShape main_grid_shape()
{
    return {GridShape::points, 1, 1, 0.0f, true};
}

GridShape sparse_grid_shape()
{
    // 171 columns x 128 rows: every third column, every fourth row.
    return {GridShape::points, 3, 4, 0.0f, true};
}

GridShape offset_grid_shape()
{
    // Shifted by half a grid step to the right.
    return {GridShape::points, 1, 1, 1.0f / 1024.0f, false};
}

GridShape line_grid_shape()
{
    return {GridShape::lines, 1, 1, 0.0f, false};
}

GridListBuild::GridListBuild(DisplayListNumber list, GridShape shape)
    : list_(static_cast<GLuint>(list.value)), shape_(shape),
      pieces_((shape.vertex_count() + grid_piece_vertices - 1) / grid_piece_vertices)
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
    const int count = shape_.vertex_count();
    const int first_vertex = compiled_ * grid_piece_vertices;
    const int last_vertex = std::min(count, until * grid_piece_vertices);
    std::vector<float> data;
    shape_.append_vertices(first_vertex, last_vertex - first_vertex, data);

    const int floats = shape_.floats_per_vertex();
    const auto stride = static_cast<GLsizei>(floats * sizeof(float));
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, stride, data.data());
    if (shape_.randoms) {
        glClientActiveTexture(GL_TEXTURE0);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(3, GL_FLOAT, stride, data.data() + 2);
    }
    const GLenum mode = shape_.kind == GridShape::lines ? GL_LINES : GL_POINTS;
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
    glNewList(list_, GL_COMPILE);
    for (int k = 0; k < std::clamp(count, 0, compiled_); ++k)
        glCallList(first_piece_ + static_cast<GLuint>(k));
    glEndList();
}

void GridListBuild::call_pieces(int from, int to) const
{
    for (int k = std::max(from, 0); k < std::min(to, compiled_); ++k)
        glCallList(first_piece_ + static_cast<GLuint>(k));
}

ShowGrids::ShowGrids()
    : numbers_defined_(define_grid_numbers()), grid(display_list::grid, main_grid_shape()),
      sparse(display_list::sparse_grid, sparse_grid_shape()),
      offset(display_list::offset_grid, offset_grid_shape()),
      lines(display_list::line_grid, line_grid_shape())
{
}
