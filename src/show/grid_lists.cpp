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

GridGeometry geometry_of(const GridShape &shape)
{
    return {
        shape.kind == GridShape::lines, shape.vertex_count(), shape.randoms,
        [shape](int first, int count, std::vector<float> &out) { shape.append_vertices(first, count, out); }};
}

ShowGrids::ShowGrids()
    : numbers_defined_(define_empty_lists({display_list::grid, display_list::sparse_grid,
                                           display_list::offset_grid, display_list::line_grid})),
      grid(display_list::grid, geometry_of(main_grid_shape())),
      sparse(display_list::sparse_grid, geometry_of(sparse_grid_shape())),
      offset(display_list::offset_grid, geometry_of(offset_grid_shape())),
      lines(display_list::line_grid, geometry_of(line_grid_shape()))
{
}
