// ObjMesh steps that work on loaded data: vertex de-duplication, material
// libraries, batches by material, bounding box, area-weighted normals.
// Depends on: obj_mesh.h (and <emmintrin.h> where the compiler targets
// SSE2). No file access here (see obj_loader.cpp).
#include "assets/mesh/obj_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{

// Mixes the position number and the fifteen words of a vertex.
std::uint64_t hash_vertex(std::int32_t position, const MeshVertex &v)
{
    std::uint32_t words[15];
    std::memcpy(words, &v, sizeof words);
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ static_cast<std::uint32_t>(position);
    for (std::uint32_t w : words) {
        h = (h ^ w) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 29;
    }
    return h ^ (h >> 32);
}

// In whole registers rather than through memcmp: this runs for every face
// corner.
bool same_bits(const MeshVertex &a, const MeshVertex &b)
{
#if defined(__SSE2__)
    // Four loads of 16 bytes cover the 60 (the last two overlap).
    const char *x = reinterpret_cast<const char *>(&a);
    const char *y = reinterpret_cast<const char *>(&b);
    __m128i diff = _mm_setzero_si128();
    for (int at : {0, 16, 32, 44})
        diff = _mm_or_si128(diff, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(x + at)),
                                                _mm_loadu_si128(reinterpret_cast<const __m128i *>(y + at))));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(diff, _mm_setzero_si128())) == 0xFFFF;
#else
    std::uint64_t x[7], y[7];
    std::uint32_t xt, yt;
    std::memcpy(x, &a, sizeof x);
    std::memcpy(y, &b, sizeof y);
    std::memcpy(&xt, reinterpret_cast<const char *>(&a) + sizeof x, sizeof xt);
    std::memcpy(&yt, reinterpret_cast<const char *>(&b) + sizeof y, sizeof yt);
    std::uint64_t diff = xt ^ yt;
    for (int i = 0; i < 7; ++i)
        diff |= x[i] ^ y[i];
    return diff == 0;
#endif
}

// Lists up to this long are walked; longer ones are looked up in the index.
constexpr std::uint32_t walk_limit = 16;

} // namespace

// -----------------------------------------------------------------------------
// VertexLists
// -----------------------------------------------------------------------------

bool VertexLists::contains(std::int32_t position) const
{
    return position >= 0 && static_cast<std::size_t>(position) < first_.size() &&
           first_[static_cast<std::size_t>(position)] != none;
}

std::vector<std::uint32_t> VertexLists::list(std::int32_t position) const
{
    std::vector<std::uint32_t> out;
    if (!contains(position))
        return out;
    for (std::uint32_t v = first_[static_cast<std::size_t>(position)]; v != none; v = next_[v])
        out.push_back(v);
    return out;
}

std::size_t VertexLists::size() const
{
    return positions_used_;
}

void VertexLists::clear()
{
    first_.clear();
    last_.clear();
    next_.clear();
    length_.clear();
    slots_.clear();
    used_ = 0;
    positions_used_ = 0;
}

void VertexLists::reserve(std::size_t positions, std::size_t vertices)
{
    if (first_.size() < positions) {
        first_.resize(positions, none);
        last_.resize(positions, none);
        length_.resize(positions, 0);
    }
    next_.reserve(vertices);
}

std::uint32_t VertexLists::find(std::int32_t position, const MeshVertex &candidate,
                                const std::vector<MeshVertex> &vertices) const
{
    if (!contains(position))
        return none;
    const auto p = static_cast<std::size_t>(position);
    if (length_[p] <= walk_limit) {
        for (std::uint32_t v = first_[p]; v != none; v = next_[v])
            if (same_bits(vertices[v], candidate))
                return v;
        return none;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash_vertex(position, candidate) & mask;; i = (i + 1) & mask) {
        const Slot &s = slots_[i];
        if (s.vertex == none)
            return none;
        if (s.position == position && same_bits(vertices[s.vertex], candidate))
            return s.vertex;
    }
}

void VertexLists::insert_slot(Slot slot, const std::vector<MeshVertex> &vertices)
{
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash_vertex(slot.position, vertices[slot.vertex]) & mask;
    while (slots_[i].vertex != none)
        i = (i + 1) & mask;
    slots_[i] = slot;
}

void VertexLists::add(std::int32_t position, std::uint32_t vertex, const std::vector<MeshVertex> &vertices)
{
    const auto p = static_cast<std::size_t>(position);
    if (p >= first_.size()) {
        first_.resize(p + 1, none);
        last_.resize(p + 1, none);
        length_.resize(p + 1, 0);
    }
    if (next_.size() == vertex)
        next_.push_back(none); // the usual case: vertices come in order
    else if (next_.size() < vertex)
        next_.resize(static_cast<std::size_t>(vertex) + 1, none);

    if (first_[p] == none) {
        first_[p] = vertex;
        ++positions_used_;
    } else {
        next_[last_[p]] = vertex;
    }
    last_[p] = vertex;
    next_[vertex] = none;
    ++length_[p];

    if (length_[p] <= walk_limit)
        return;
    // The list just became, or already is, too long to walk: index it.
    const bool whole_list = length_[p] == walk_limit + 1;
    const std::size_t adding = whole_list ? length_[p] : 1;
    if ((used_ + adding) * 2 > slots_.size()) {
        std::size_t size = slots_.empty() ? 64 : slots_.size();
        while ((used_ + adding) * 2 > size)
            size *= 2;
        std::vector<Slot> old(size, Slot{});
        old.swap(slots_);
        for (const Slot &s : old)
            if (s.vertex != none)
                insert_slot(s, vertices);
    }
    if (whole_list) {
        for (std::uint32_t v = first_[p]; v != none; v = next_[v])
            insert_slot(Slot{v, position}, vertices);
    } else {
        insert_slot(Slot{vertex, position}, vertices);
    }
    used_ += adding;
}

// -----------------------------------------------------------------------------
// ObjMesh steps
// -----------------------------------------------------------------------------

std::uint32_t ObjMesh::find_or_add_vertex(std::int32_t position, const MeshVertex &candidate)
{
    const std::uint32_t found = vertices_by_position.find(position, candidate, vertices);
    if (found != VertexLists::none)
        return found;
    const auto n = static_cast<std::uint32_t>(vertices.size());
    vertices.push_back(candidate);
    vertices_by_position.add(position, n, vertices);
    return n;
}

void ObjMesh::add_material_library(const std::string &path)
{
    // The library file itself is never opened: its materials could not be
    // selected anyway, since only "default" is ever entered by name.
    (void)path;
    ++material_count;
    materials.resize(static_cast<std::size_t>(material_count));
}

void ObjMesh::build_batches()
{
    batches.clear();
    const std::size_t n = triangle_materials.size();
    for (std::size_t t = 0; t < n; ++t) {
        if (t == 0 || triangle_materials[t] != triangle_materials[t - 1]) {
            MeshBatch b;
            b.first_index = static_cast<std::int32_t>(3 * t);
            const std::int32_t m = triangle_materials[t];
            b.material = (m >= 0 && static_cast<std::size_t>(m) < materials.size())
                             ? &materials[static_cast<std::size_t>(m)]
                             : nullptr;
            batches.push_back(b);
        }
        ++batches.back().triangle_count;
    }
    batch_count = static_cast<std::int32_t>(batches.size());
    std::stable_sort(batches.begin(), batches.end(), [](const MeshBatch &a, const MeshBatch &b) {
        const float oa = a.material ? a.material->opacity : 0.0f;
        const float ob = b.material ? b.material->opacity : 0.0f;
        return oa > ob;
    });
}

void ObjMesh::compute_bounds()
{
    // Without vertices there is no box: report an empty one at the origin.
    if (vertices.empty()) {
        center[0] = center[1] = center[2] = 0.0f;
        size_x = size_y = size_z = max_size = 0.0f;
        return;
    }
    float lo[3] = {3.4028235e38f, 3.4028235e38f, 3.4028235e38f};
    float hi[3] = {-3.4028235e38f, -3.4028235e38f, -3.4028235e38f};
    for (const MeshVertex &v : vertices) {
        for (int a = 0; a < 3; ++a) {
            if (v.position[a] < lo[a])
                lo[a] = v.position[a];
            if (v.position[a] > hi[a])
                hi[a] = v.position[a];
        }
    }
    for (int a = 0; a < 3; ++a)
        center[a] = (lo[a] + hi[a]) / 2.0f;
    size_x = hi[0] - lo[0];
    size_y = hi[1] - lo[1];
    size_z = hi[2] - lo[2];
    max_size = size_x;
    if (size_y > max_size)
        max_size = size_y;
    if (size_z > max_size)
        max_size = size_z;
}

void ObjMesh::compute_normals()
{
    for (MeshVertex &v : vertices)
        v.normal[0] = v.normal[1] = v.normal[2] = 0.0f;

    const std::size_t nv = vertices.size();
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        const std::uint32_t a = indices[i], b = indices[i + 1], c = indices[i + 2];
        if (a >= nv || b >= nv || c >= nv)
            continue; // never after a load; guards hand-made data
        const float *pa = vertices[a].position;
        const float *pb = vertices[b].position;
        const float *pc = vertices[c].position;
        const float e1[3] = {pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
        const float e2[3] = {pc[0] - pa[0], pc[1] - pa[1], pc[2] - pa[2]};
        // Not normalised: the length is twice the area, so large faces weigh more.
        const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                            e1[0] * e2[1] - e1[1] * e2[0]};
        for (std::uint32_t k : {a, b, c}) {
            vertices[k].normal[0] += n[0];
            vertices[k].normal[1] += n[1];
            vertices[k].normal[2] += n[2];
        }
    }

    for (MeshVertex &v : vertices) {
        float *n = v.normal;
        const float len2 = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
        // A vertex of degenerate triangles only keeps (0, 0, 0) instead of NaN.
        if (!(len2 > 0.0f)) {
            n[0] = n[1] = n[2] = 0.0f;
            continue;
        }
        const float s = 1.0f / std::sqrt(len2);
        n[0] *= s;
        n[1] *= s;
        n[2] *= s;
    }
    has_normals = true;
}

void ObjMesh::drop_load_tables()
{
    // swap with empty containers: clear() would keep the capacity.
    std::vector<float>().swap(positions);
    std::vector<float>().swap(texcoords);
    std::vector<float>().swap(normals);
    std::vector<std::int32_t>().swap(triangle_materials);
    std::map<std::string, std::int32_t>().swap(material_by_name);
    vertices_by_position = VertexLists();
}
