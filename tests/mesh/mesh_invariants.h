// Checks every structural promise of a loaded ObjMesh; the loader tests run
// it on each mesh they build and the drawing test on its own.
#pragma once

#include "assets/mesh/obj_mesh.h"

#include <gtest/gtest.h>

#include <cstring>

inline void expect_mesh_invariants(const ObjMesh &m)
{
    const auto tc = static_cast<std::size_t>(m.triangle_count);
    ASSERT_EQ(m.indices.size(), 3 * tc);
    for (std::uint32_t i : m.indices)
        ASSERT_LT(i, m.vertices.size());
    ASSERT_EQ(m.triangle_materials.size(), tc);
    ASSERT_FALSE(m.materials.empty());
    for (std::int32_t mat : m.triangle_materials) {
        ASSERT_GE(mat, 0);
        ASSERT_LT(static_cast<std::size_t>(mat), m.materials.size());
    }
    EXPECT_EQ(m.positions.size(), 3 * static_cast<std::size_t>(m.position_count));
    EXPECT_EQ(m.texcoords.size(), 2 * static_cast<std::size_t>(m.texcoord_count));
    EXPECT_EQ(m.normals.size(), 3 * static_cast<std::size_t>(m.normal_count));
    ASSERT_FALSE(m.object_starts.empty());
    EXPECT_GE(m.object_starts.front(), 0);
    for (std::size_t k = 1; k < m.object_starts.size(); ++k)
        EXPECT_LE(m.object_starts[k - 1], m.object_starts[k]);
    EXPECT_EQ(m.object_starts.back(), m.triangle_count);

    // Each vertex is listed under exactly one position, carries that
    // position's values, and no position lists two equal vertices.
    std::size_t listed = 0;
    for (std::int32_t p = 0; p < m.position_count; ++p) {
        const auto list = m.vertices_by_position.list(p);
        listed += list.size();
        for (std::size_t a = 0; a < list.size(); ++a) {
            EXPECT_EQ(0, std::memcmp(m.vertices[list[a]].position,
                                     &m.positions[3 * static_cast<std::size_t>(p)], 3 * sizeof(float)));
            for (std::size_t b = a + 1; b < list.size(); ++b)
                EXPECT_NE(0, std::memcmp(&m.vertices[list[a]], &m.vertices[list[b]], sizeof(MeshVertex)));
        }
    }
    EXPECT_EQ(listed, m.vertices.size());

    std::int32_t batched = 0;
    EXPECT_EQ(static_cast<std::size_t>(m.batch_count), m.batches.size());
    for (std::size_t k = 0; k < m.batches.size(); ++k) {
        const MeshBatch &b = m.batches[k];
        batched += b.triangle_count;
        ASSERT_NE(b.material, nullptr);
        EXPECT_GE(b.material, m.materials.data());
        EXPECT_LT(b.material, m.materials.data() + m.materials.size());
        if (k > 0) {
            EXPECT_GE(m.batches[k - 1].material->opacity, b.material->opacity);
        }
    }
    EXPECT_EQ(batched, m.triangle_count);
}
