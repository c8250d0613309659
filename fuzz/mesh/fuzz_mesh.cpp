// libFuzzer entry for the OBJ loader: any bytes are loaded as a file's text,
// then the structural promises the drawing side relies on are checked, so a
// wrong index is a finding even when it stays inside some allocation.
// Depends on: assets/mesh. Inputs over 1 MiB are skipped to keep runs fast.
#include "assets/mesh/obj_mesh.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void require(bool ok)
{
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20)) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ObjMesh m;
    m.load_text(text, "fuzz//input.obj", (size & 1) != 0);

    const auto tc = static_cast<std::size_t>(m.triangle_count);
    require(m.indices.size() == 3 * tc && m.triangle_materials.size() == tc);
    for (std::uint32_t i : m.indices) require(i < m.vertices.size());
    for (std::int32_t mat : m.triangle_materials)
        require(mat >= 0 && static_cast<std::size_t>(mat) < m.materials.size());
    require(!m.object_starts.empty() && m.object_starts.back() == m.triangle_count);
    for (std::size_t k = 1; k < m.object_starts.size(); ++k) require(m.object_starts[k - 1] <= m.object_starts[k]);
    std::size_t listed = 0;
    for (std::int32_t p = 0; p < m.position_count; ++p) listed += m.vertices_by_position.list(p).size();
    require(listed == m.vertices.size());
    std::int32_t batched = 0;
    for (const MeshBatch& b : m.batches) batched += b.triangle_count;
    require(batched == m.triangle_count);
    return 0;
}
