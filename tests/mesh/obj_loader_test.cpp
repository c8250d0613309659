// OBJ loader: token rules, face forms and fans, de-duplication, objects,
// materials, normals and bounds, and the safety rules for malformed files.
// Every mesh built here also goes through expect_mesh_invariants.
#include "assets/mesh/obj_mesh.h"
#include "mesh_invariants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace
{

std::unique_ptr<ObjMesh> load(const std::string &text, bool recompute = false)
{
    auto m = std::make_unique<ObjMesh>();
    m->load_text(text, "meshes//test.obj", recompute);
    expect_mesh_invariants(*m);
    return m;
}

// Position numbers of triangle t.
std::vector<int> triangle_positions(const ObjMesh &m, int t)
{
    std::vector<int> out;
    for (int j = 0; j < 3; ++j) {
        const MeshVertex &v = m.vertices[m.indices[static_cast<std::size_t>(3 * t + j)]];
        for (int p = 0; p < m.position_count; ++p)
            if (std::memcmp(v.position, &m.positions[static_cast<std::size_t>(3 * p)], 12) == 0) {
                out.push_back(p);
                break;
            }
    }
    return out;
}

const char *cube_positions =
    "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n";

} // namespace

TEST(ObjLoader, faces_are_fans_around_the_first_corner)
{
    auto quad = load("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\no q\nf 1 2 3 4\n");
    ASSERT_EQ(quad->triangle_count, 2);
    EXPECT_EQ(quad->vertices.size(), 4u);
    EXPECT_EQ(triangle_positions(*quad, 0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(triangle_positions(*quad, 1), (std::vector<int>{0, 2, 3}));

    // Negative numbers count back from the elements read so far.
    auto rel = load("v 9 9 9\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\nv 5 5 5\nf -4 -1 -2\n");
    ASSERT_EQ(rel->triangle_count, 2);
    EXPECT_EQ(triangle_positions(*rel, 0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(triangle_positions(*rel, 1), (std::vector<int>{1, 4, 3}));

    // Numbers skip newlines: a face goes on while the next line starts with one.
    auto cont = load("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 2 0\nf 1 2\n 3 4\n5\nv 7 7 7\n");
    EXPECT_EQ(cont->triangle_count, 3);
    EXPECT_EQ(cont->position_count, 6);
    EXPECT_EQ(triangle_positions(*cont, 2), (std::vector<int>{0, 3, 4}));
}

TEST(ObjLoader, cube_keeps_file_normals_or_computes_smooth_ones)
{
    const std::string normals = "vn 0 0 -1\nvn 0 0 1\nvn 0 -1 0\nvn 1 0 0\nvn 0 1 0\nvn -1 0 0\n";
    const std::string vn_faces =
        "o cube\nf 1//1 4//1 3//1 2//1\nf 5//2 6//2 7//2 8//2\nf 1//3 2//3 6//3 5//3\n"
        "f 2//4 3//4 7//4 6//4\nf 3//5 4//5 8//5 7//5\nf 1//6 5//6 8//6 4//6\n";
    auto flat = load(cube_positions + normals + vn_faces);
    EXPECT_EQ(flat->triangle_count, 12);
    EXPECT_EQ(flat->vertices.size(), 24u);
    EXPECT_TRUE(flat->has_normals);
    for (int t = 0; t < 2; ++t)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(flat->vertices[flat->indices[static_cast<std::size_t>(3 * t + j)]].normal[2], -1.0f);

    const std::string p_faces = "o cube\nf 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 1 5 8 4\n";
    auto smooth = load(cube_positions + p_faces);
    EXPECT_EQ(smooth->triangle_count, 12);
    EXPECT_EQ(smooth->vertices.size(), 8u);
    EXPECT_EQ(smooth->normal_count, 0);
    EXPECT_TRUE(smooth->has_normals);
    for (const MeshVertex &v : smooth->vertices) {
        const float *n = v.normal;
        EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5f);
        // Outward at every corner of a cube centred on the origin.
        EXPECT_GT(n[0] * v.position[0] + n[1] * v.position[1] + n[2] * v.position[2], 0.0f);
        EXPECT_EQ(v.texcoord[0], 0.0f);
    }
    EXPECT_EQ(smooth->size_x, 2.0f);
    EXPECT_EQ(smooth->max_size, 2.0f);
    EXPECT_EQ(smooth->center[1], 0.0f);

    // recompute_normals replaces the file's normals by computed ones: a
    // file whose every normal points along +x gets the cube's own smooth
    // normals back, corner by corner.
    const std::string wrong = "vn 1 0 0\nvn 1 0 0\nvn 1 0 0\nvn 1 0 0\nvn 1 0 0\nvn 1 0 0\n";
    auto kept = load(cube_positions + wrong + vn_faces);
    EXPECT_EQ(kept->vertices[kept->indices[0]].normal[0], 1.0f);
    auto redone = load(cube_positions + wrong + vn_faces, true);
    ASSERT_EQ(redone->indices.size(), smooth->indices.size());
    for (std::size_t i = 0; i < redone->indices.size(); ++i) {
        const MeshVertex &v = redone->vertices[redone->indices[i]];
        const MeshVertex &c = smooth->vertices[smooth->indices[i]];
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(v.position[k], c.position[k]) << "index " << i;
            ASSERT_NEAR(v.normal[k], c.normal[k], 1e-6f) << "index " << i << " axis " << k;
        }
    }
}

TEST(ObjLoader, normals_weigh_faces_by_area)
{
    // Vertex 1 is shared by a large triangle facing +z and a small one facing +y.
    auto m = load("v 0 0 0\nv 10 0 0\nv 0 10 0\nv 1 0 0\nv 0 0 -1\no a\nf 1 2 3\nf 1 4 5\n");
    const float *n = m->vertices[m->indices[0]].normal;
    EXPECT_GT(n[2], 0.9f);
    EXPECT_GT(n[1], 0.0f);
    // A vertex of degenerate triangles only gets a zero normal, not NaN.
    auto flat = load("v 0 0 0\nv 1 0 0\nv 2 0 0\nf 1 2 3\n");
    for (const MeshVertex &v : flat->vertices)
        EXPECT_EQ(v.normal[0] + v.normal[1] + v.normal[2], 0.0f);
}

TEST(ObjLoader, attributes_and_deduplication)
{
    // A third texture value is dropped; the next line reads normally.
    auto vt = load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.25 0.0\nvt 1 1\nf 1/1 2/2 3/1\n");
    ASSERT_EQ(vt->texcoords.size(), 4u);
    EXPECT_EQ(vt->texcoords[0], 0.5f);
    EXPECT_EQ(vt->texcoords[1], 0.25f);
    EXPECT_EQ(vt->texcoords[2], 1.0f);
    EXPECT_EQ(vt->vertices[vt->indices[1]].texcoord[0], 1.0f);

    // -0.0 and 0.0 differ bit for bit: one position, two vertices.
    auto zero = load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt -0.0 0\nf 1/1 2/1 3/1\nf 1/2 3/1 2/1\n");
    EXPECT_EQ(zero->vertices.size(), 4u);
    EXPECT_EQ(zero->vertices_by_position.list(0).size(), 2u);
    EXPECT_NE(zero->indices[0], zero->indices[3]);

    // Equal values from different lines share a vertex.
    auto same = load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.5\nvt 0.5 0.5\nf 1/1 2/1 3/1\nf 1/2 3/2 2/2\n");
    EXPECT_EQ(same->vertices.size(), 3u);
    EXPECT_TRUE(same->has_texcoords);
    EXPECT_FALSE(same->has_tangents);

    // One position with many texture coordinates: lists too long to walk are
    // looked up through the index, which must find the same vertices.
    std::string many = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int i = 0; i < 40; ++i)
        many += "vt " + std::to_string(i) + " 0\n";
    for (int rep = 0; rep < 2; ++rep)
        for (int i = 1; i <= 40; ++i)
            many += "f 1/" + std::to_string(i) + " 2/1 3/1\n";
    auto fan = load(many);
    EXPECT_EQ(fan->vertices.size(), 42u);
    EXPECT_EQ(fan->vertices_by_position.list(0).size(), 40u);
    for (int t = 0; t < 40; ++t)
        EXPECT_EQ(fan->indices[static_cast<std::size_t>(3 * t)],
                  fan->indices[static_cast<std::size_t>(3 * (t + 40))]);
}

TEST(ObjLoader, objects_and_materials)
{
    const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    auto none = load(tri + "f 1 2 3\nf 1 3 2\n");
    EXPECT_EQ(none->object_starts, (std::vector<std::int32_t>{2}));
    ASSERT_EQ(none->materials.size(), 1u);
    EXPECT_EQ(none->materials[0].name, "default");
    EXPECT_EQ(none->materials[0].diffuse[0], 0.8f);
    EXPECT_EQ(none->material_by_name.at("default"), 0);
    EXPECT_EQ(none->material_count, 0);

    auto objs = load(tri + "f 1 2 3\no first name\nf 1 2 3\nf 1 3 2\no second\no third\nf 2 3 1\n");
    EXPECT_EQ(objs->object_starts, (std::vector<std::int32_t>{1, 3, 3, 4}));

    // A library line adds a nameless material and no default; every selection
    // falls back to material 0.
    auto lib = load("mtllib scene.mtl\n" + tri + "usemtl red\nf 1 2 3\nusemtl default\nf 1 3 2\n");
    EXPECT_EQ(lib->material_count, 1);
    ASSERT_EQ(lib->materials.size(), 1u);
    EXPECT_TRUE(lib->materials[0].name.empty());
    EXPECT_TRUE(lib->material_by_name.empty());
    EXPECT_EQ(lib->batch_count, 1);
    EXPECT_EQ(lib->batches[0].triangle_count, 2);
    EXPECT_EQ(lib->batches[0].material, &lib->materials[0]);

    // Keywords are told apart by their first character only.
    auto kw = load("mat x.mtl\nmore y.mtl\n" + tri +
                   "vertex 5 5 5\nvx 1 2 3\nface 1 2 3\nobject\nuse me\n"
                   "vnormal 0 0 1\nvtex 1 1\nf 1/1/1 2/1/1 3/1/1\n");
    EXPECT_EQ(kw->material_count, 2);
    EXPECT_EQ(kw->position_count, 3);
    EXPECT_EQ(kw->normal_count, 1);
    EXPECT_EQ(kw->texcoord_count, 1);
    EXPECT_EQ(kw->triangle_count, 2);
    EXPECT_EQ(kw->object_starts, (std::vector<std::int32_t>{1, 2}));
}

TEST(ObjLoader, long_tokens_and_lines_continue_as_tokens)
{
    const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    // A comment longer than 255 bytes: its remainder is read as tokens, here a face.
    auto c = load(tri + "#" + std::string(255, ' ') + "f 1 2 3\n");
    EXPECT_EQ(c->triangle_count, 1);
    // An object name longer than 255 bytes: the rest is a token of its own.
    auto o = load(tri + "o " + std::string(400, 'n') + "\nf 1 2 3\n");
    EXPECT_EQ(o->object_starts, (std::vector<std::int32_t>{0, 1}));
    // A long "v" line hides a second position in its remainder for both passes.
    auto v = load("v 1 2 3" + std::string(260, ' ') + "v 4 5 6\n");
    ASSERT_EQ(v->position_count, 2);
    EXPECT_EQ(v->positions[3], 4.0f);
}

TEST(ObjLoader, bad_corners_drop_their_triangles_and_counts_stay_consistent)
{
    const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n";
    // Index 0, forward and too-negative numbers, numbers beyond 32 bits.
    for (const char *face :
         {"f 0 1 2\n", "f 1 2 5\n", "f -5 1 2\n", "f 1 2 99999999999\n", "f 1 2 -2147483648\n"}) {
        auto m = load(tri + face + "o x\nf 1 2 3\n");
        EXPECT_EQ(m->triangle_count, 1) << face;
        EXPECT_EQ(m->object_starts, (std::vector<std::int32_t>{0, 1})) << face;
    }
    // In a quad only the triangle with the bad corner goes.
    auto quad = load(tri + "f 1 2 3 9\n");
    EXPECT_EQ(quad->triangle_count, 1);
    // Texture or normal numbers with no such lines, and a face before any "v".
    EXPECT_EQ(load(tri + "f 1/1 2/1 3/1\n")->triangle_count, 0);
    EXPECT_EQ(load(tri + "f 1//1 2//1 3//1\n")->triangle_count, 0);
    EXPECT_EQ(load("f 1 2 3\n" + tri)->triangle_count, 0);
    EXPECT_EQ(load("f 1 2 3\n")->vertices.size(), 0u);
    // Corners in another form than the first: partly read corners name nothing.
    auto mixed = load(tri + "vn 0 0 1\nvt 0 0\nf 1/1/1 2//1 3/1/1 4/1/1\n");
    EXPECT_EQ(mixed->triangle_count, 0);
    // Fewer than three corners.
    EXPECT_EQ(load(tri + "f 1 2\nf 3\nf\n")->triangle_count, 0);
    // The passes disagree: pass 2 takes "f" as the object's name...
    auto lost = load(tri + "o\nf 1 2 3\n");
    EXPECT_EQ(lost->triangle_count, 0);
    // ...or finds a face that pass 1 skipped with the "o" line.
    auto extra = load(tri + "o name f 1 2 3\nf 1 2 4\n");
    EXPECT_EQ(extra->triangle_count, 1);
    // Malformed numbers stay 0.0.
    auto bad = load("v 1 x 3\nv - 2 2\n");
    EXPECT_EQ(bad->positions[0], 1.0f);
    EXPECT_EQ(bad->positions[1], 0.0f);
    EXPECT_EQ(bad->positions[3], 0.0f);
}

TEST(ObjLoader, bounds_of_an_empty_mesh_are_zero)
{
    auto m = load("# nothing\n");
    EXPECT_TRUE(m->loaded);
    EXPECT_EQ(m->max_size, 0.0f);
    EXPECT_EQ(m->center[0], 0.0f);
    EXPECT_EQ(m->object_starts, (std::vector<std::int32_t>{0}));
    auto off = load("v 2 3 4\nv 6 4 5\nv 2 3 14\nf 1 2 3\n");
    EXPECT_EQ(off->center[0], 4.0f);
    EXPECT_EQ(off->size_z, 10.0f);
    EXPECT_EQ(off->max_size, 10.0f);
}

TEST(ObjLoader, batches_sort_by_opacity_highest_first)
{
    ObjMesh m;
    m.materials.resize(3);
    m.materials[0].opacity = 0.2f;
    m.materials[1].opacity = 0.9f;
    m.materials[2].opacity = 0.5f;
    m.triangle_materials = {0, 0, 1, 2, 2, 2, 0};
    m.build_batches();
    ASSERT_EQ(m.batch_count, 4);
    EXPECT_EQ(m.batches[0].material, &m.materials[1]);
    EXPECT_EQ(m.batches[0].first_index, 6);
    EXPECT_EQ(m.batches[1].triangle_count, 3);
    EXPECT_EQ(m.batches[1].first_index, 9);
}

TEST(ObjLoader, files_and_directories)
{
    ObjMesh missing;
    EXPECT_FALSE(missing.load("no such dir//nothing.obj", false));
    EXPECT_FALSE(missing.loaded);
    EXPECT_TRUE(missing.materials.empty());
    // A folder opens on Linux and claims a nonsense size: no abort, no mesh.
    EXPECT_FALSE(missing.load("/", false));
    EXPECT_FALSE(missing.load(VELLAMOR_BINARY_DIR, false));
    EXPECT_FALSE(missing.loaded);

    const std::string path = std::string(VELLAMOR_BINARY_DIR) + "/mesh_loader_test.obj";
    {
        std::ofstream f(path);
        f << "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\no t\r\nf 1 2 3\r\n";
    }
    ObjMesh m;
    ASSERT_TRUE(m.load(path.c_str(), false));
    expect_mesh_invariants(m);
    EXPECT_EQ(m.triangle_count, 1);
    EXPECT_EQ(m.directory, std::string(VELLAMOR_BINARY_DIR) + "/");
    // Loading again gives the same mesh, not two files' worth.
    ASSERT_TRUE(m.load(path.c_str(), false));
    EXPECT_EQ(m.vertices.size(), 3u);
    EXPECT_EQ(m.materials.size(), 1u);
    std::remove(path.c_str());

    ObjMesh dirs;
    dirs.load_text("", "neomeshes//leaves.obj", false);
    EXPECT_EQ(dirs.directory, "neomeshes//");
    dirs.load_text("", "a\\b/c.obj", false);
    EXPECT_EQ(dirs.directory, "a\\");
    dirs.load_text("", "plain.obj", false);
    EXPECT_EQ(dirs.directory, "");
}

TEST(ObjLoader, dropping_the_load_tables_keeps_what_is_drawn_and_a_reload_still_works)
{
    const std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvt 0 0\nvn 0 0 1\n"
                             "o a\nf 1/1/1 2/1/1 3/1/1\no b\nf 2/1/1 4/1/1 3/1/1\n";
    auto m = load(text);
    const auto vertices = m->vertices.size();
    const auto indices = m->indices;
    const auto starts = m->object_starts;
    const auto batches = m->batches.size();
    ASSERT_FALSE(m->positions.empty());

    m->drop_load_tables();
    EXPECT_TRUE(m->positions.empty());
    EXPECT_TRUE(m->texcoords.empty());
    EXPECT_TRUE(m->normals.empty());
    EXPECT_TRUE(m->triangle_materials.empty());
    EXPECT_EQ(m->vertices_by_position.size(), 0u);
    EXPECT_EQ(m->vertices.size(), vertices);
    EXPECT_EQ(m->indices, indices);
    EXPECT_EQ(m->object_starts, starts);
    EXPECT_EQ(m->batches.size(), batches);

    // Loading again into the same mesh rebuilds the tables it needs.
    m->load_text(text, "meshes//test.obj", false);
    expect_mesh_invariants(*m);
    EXPECT_EQ(m->indices, indices);
    EXPECT_EQ(m->vertices.size(), vertices);
}
