// The objects a mesh draw covers: pure arithmetic, shared by the GL 2 and
// WebGL2 mesh drawing.
#include "render/mesh_drawing.h"

ObjectRange object_range(std::int32_t object, std::size_t start_count)
{
    // n entries of object_starts describe n - 1 objects.
    const auto n = static_cast<std::int64_t>(start_count);
    std::int64_t first = object >= 0 ? object : 0;
    std::int64_t end = object >= 0 ? std::int64_t{object} + 1 : n - 1;
    if (end < 0)
        end = 0;
    if (first > n - 1)
        first = n - 1;
    if (end > n - 1)
        end = n - 1;
    if (first < 0)
        first = 0; // no entries at all: an empty range
    return {static_cast<std::int32_t>(first), static_cast<std::int32_t>(end)};
}
