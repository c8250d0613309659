// libFuzzer entry for the OBJ loader: any bytes are loaded as a file's text,
// then the structural promises the drawing side relies on are checked, so a
// wrong index is a finding even when it stays inside some allocation.
// It also reads the start of each input with the scanner's "%f" and "%d"
// and with the C library's fscanf, and aborts when they disagree on the
// result, the value or the number of bytes consumed; and it loads each input
// a second time the reference way (every face read again in pass 2) and
// aborts when the meshes differ.
// Depends on: assets/mesh. Inputs over 1 MiB are skipped to keep runs fast.
#include "assets/mesh/obj_loader.h"
#include "assets/mesh/obj_mesh.h"
#include "assets/mesh/obj_scanner.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace
{

void require(bool ok)
{
    if (!ok)
        std::abort();
}

void compare_with_libc(std::string_view text)
{
    if (text.empty() || text.find('\0') != std::string_view::npos)
        return;
    std::string copy(text);
    for (const bool as_float : {true, false}) {
        FILE *f = fmemopen(copy.data(), copy.size(), "r");
        if (!f)
            return;
        obj_scan::ObjScanner s(text);
        int r1, r2;
        if (as_float) {
            float a = 0, b = 0;
            r1 = std::fscanf(f, "%f", &a);
            r2 = s.read_float(b);
            if (r1 == 1)
                require(r2 == 1 && std::memcmp(&a, &b, 4) == 0);
        } else {
            int a = 0;
            std::int32_t b = 0;
            bool in_range = false;
            r1 = std::fscanf(f, "%d", &a);
            r2 = s.read_int(b, in_range);
            if (r1 == 1 && in_range)
                require(a == b);
        }
        require(r1 == r2);
        require(std::ftell(f) == s.position() - text.data());
        std::fclose(f);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > (1u << 20))
        return 0;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    compare_with_libc(text.substr(0, 64));
    ObjMesh m;
    m.load_text(text, "fuzz//input.obj", (size & 1) != 0);

    const auto tc = static_cast<std::size_t>(m.triangle_count);
    require(m.indices.size() == 3 * tc && m.triangle_materials.size() == tc);
    for (std::uint32_t i : m.indices)
        require(i < m.vertices.size());
    for (std::int32_t mat : m.triangle_materials)
        require(mat >= 0 && static_cast<std::size_t>(mat) < m.materials.size());
    require(!m.object_starts.empty() && m.object_starts.back() == m.triangle_count);
    for (std::size_t k = 1; k < m.object_starts.size(); ++k)
        require(m.object_starts[k - 1] <= m.object_starts[k]);
    std::size_t listed = 0;
    for (std::int32_t p = 0; p < m.position_count; ++p)
        listed += m.vertices_by_position.list(p).size();
    require(listed == m.vertices.size());
    std::int32_t batched = 0;
    for (const MeshBatch &b : m.batches)
        batched += b.triangle_count;
    require(batched == m.triangle_count);

    // Reading every face again in pass 2 (the reference way) builds the
    // same mesh as taking the faces pass 1 read.
    ObjMesh ref;
    obj_loader::load_text(ref, text, "fuzz//input.obj", (size & 1) != 0, false);
    require(ref.triangle_count == m.triangle_count && ref.indices == m.indices &&
            ref.vertices.size() == m.vertices.size() && ref.object_starts == m.object_starts &&
            ref.positions.size() == m.positions.size());
    require(ref.vertices.empty() ||
            std::memcmp(ref.vertices.data(), m.vertices.data(), m.vertices.size() * sizeof(MeshVertex)) == 0);
    return 0;
}
