// The committed meshes: well formed for the show's loader (one face form
// per file, indices that exist, one-word object names, short lines, faces
// wound the way their normals face) and within the sizes the top-view pass
// is framed for. When objinfo is built, the show's own loader must read
// the same counts, objects and bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>

#include "content_support.h"

namespace
{

using content::data_dir;
using content::ObjFile;
using content::read_obj;

struct Limits {
    const char *file;
    const char *face_form;
    double lo[3], hi[3];  // every position inside
    double min_extent[3]; // the mesh spans at least this much per axis
    int min_objects;
};

const Limits kMeshes[] = {
    {"thecity.obj", "v//vn", {-900, 0, -900}, {900, 350, 900}, {1600, 250, 1600}, 6},
    {"vannel.obj", "v//vn", {-220, 34, -220}, {220, 80, 220}, {400, 35, 400}, 1},
    {"leaves.obj", "v/vt/vn", {-1.5, -0.5, -1.5}, {1.5, 0.5, 1.5}, {2.5, 0.1, 2.5}, 6},
    {"title.obj", "v//vn", {-400, 0, -60}, {400, 40, 60}, {600, 10, 90}, 8},
};

const ObjFile &mesh(const char *name)
{
    static std::map<std::string, ObjFile> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.emplace(name, read_obj(data_dir() / "neomeshes" / name)).first;
    return it->second;
}

TEST(MeshFiles, are_well_formed_for_the_shows_loader)
{
    for (const Limits &m : kMeshes) {
        SCOPED_TRACE(m.file);
        const ObjFile &f = mesh(m.file);
        ASSERT_EQ(f.error, "");
        EXPECT_EQ(f.face_form, m.face_form);
        EXPECT_FALSE(f.mixed_forms);
        EXPECT_LT(f.longest_line, 200u) << "the loader reads lines into 256 bytes";
        EXPECT_EQ(f.faces_against_normals, 0) << "faces wound against their normals get culled";
        EXPECT_GE(static_cast<int>(f.object_names.size()), m.min_objects);
        std::set<std::string> names(f.object_names.begin(), f.object_names.end());
        EXPECT_EQ(names.size(), f.object_names.size()) << "object names repeat";
        for (size_t k = 0; k < f.object_triangles.size(); ++k)
            EXPECT_GT(f.object_triangles[k], 0) << "empty object " << f.object_names[k];
    }
}

TEST(MeshFiles, fit_the_sizes_the_top_view_is_framed_for)
{
    for (const Limits &m : kMeshes) {
        SCOPED_TRACE(m.file);
        const ObjFile &f = mesh(m.file);
        ASSERT_EQ(f.error, "");
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(f.lo[k], m.lo[k]) << "axis " << k;
            EXPECT_LE(f.hi[k], m.hi[k]) << "axis " << k;
            EXPECT_GE(f.hi[k] - f.lo[k], m.min_extent[k]) << "axis " << k;
        }
    }
    EXPECT_LE(std::filesystem::file_size(data_dir() / "neomeshes" / "thecity.obj"), 4u << 20);
}

TEST(MeshFiles, leaves_are_six_different_leaves_each_within_reach)
{
    const ObjFile &f = mesh("leaves.obj");
    ASSERT_EQ(f.error, "");
    ASSERT_GE(f.object_names.size(), 6u);
    EXPECT_GT(f.texcoords, 0);
    std::set<std::pair<long, long>> outlines;
    for (size_t k = 0; k < 6; ++k) {
        SCOPED_TRACE(f.object_names[k]);
        const auto &b = f.object_bounds[k];
        // Each leaf alone fills most of the +-1.5 square and lies nearly flat.
        EXPECT_GE(std::max(b[3] - b[0], b[5] - b[2]), 2.5);
        EXPECT_LE(b[4] - b[1], 0.6);
        outlines.insert({std::lround((b[3] - b[0]) * 100), std::lround((b[5] - b[2]) * 100)});
    }
    EXPECT_EQ(outlines.size(), 6u) << "two leaves share an outline";
}

TEST(MeshFiles, the_insect_stands_on_the_ground_with_its_wings_highest)
{
    const ObjFile &f = mesh("vannel.obj");
    ASSERT_EQ(f.error, "");
    std::map<std::string, std::array<double, 6>> parts;
    for (size_t k = 0; k < f.object_names.size(); ++k)
        parts[f.object_names[k]] = f.object_bounds[k];
    ASSERT_TRUE(parts.count("legs") && parts.count("forewings") && parts.count("hindwings"));
    EXPECT_LT(parts["legs"][1], 37.0) << "feet reach the ground";
    EXPECT_GT(parts["forewings"][4], 75.0);
    EXPECT_GT(parts["forewings"][3] - parts["forewings"][0], 380.0) << "wings spread across x";
}

#ifdef OBJINFO_EXE
std::map<std::string, std::vector<double>> objinfo(const char *file)
{
    const auto r = content::run(OBJINFO_EXE, {(data_dir() / "neomeshes" / file).string()});
    EXPECT_EQ(r.exit_code, 0) << file;
    std::map<std::string, std::vector<double>> out;
    std::istringstream in(r.output);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream ls(line);
        std::string key;
        ls >> key;
        double v;
        while (ls >> v)
            out[key].push_back(v);
    }
    return out;
}

TEST(MeshFiles, the_shows_loader_reads_what_the_files_hold)
{
    for (const Limits &m : kMeshes) {
        SCOPED_TRACE(m.file);
        const ObjFile &f = mesh(m.file);
        auto info = objinfo(m.file);
        ASSERT_EQ(info["bounds"].size(), 6u);
        EXPECT_EQ(info["positions"].at(0), f.positions);
        EXPECT_EQ(info["normals"].at(0), f.normals);
        EXPECT_EQ(info["texcoords"].at(0), f.texcoords);
        EXPECT_EQ(info["triangles"].at(0), f.triangles);
        EXPECT_EQ(info["objects"].at(0), static_cast<double>(f.object_names.size()));
        EXPECT_EQ(info["has_normals"].at(0), 1);
        EXPECT_GT(info["vertices"].at(0), 0);
        EXPECT_LE(info["vertices"].at(0), 3.0 * f.triangles);
        for (int k = 0; k < 3; ++k) {
            // The loader's box is over its vertices, that is over used positions.
            EXPECT_GE(info["bounds"][k], m.lo[k]);
            EXPECT_LE(info["bounds"][3 + k], m.hi[k]);
            EXPECT_NEAR(info["bounds"][k], f.lo[k], 1e-3);
            EXPECT_NEAR(info["bounds"][3 + k], f.hi[k], 1e-3);
        }
    }
}
#endif

} // namespace
