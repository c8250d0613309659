// ObjMesh: one triangle mesh read from a Wavefront OBJ text file, kept in the
// form the drawing side hands to OpenGL as client arrays: de-duplicated
// 60-byte interleaved vertices, 32-bit indices (three per triangle) and a list
// of objects, each a contiguous range of triangles.
// Depends on: the standard library only (no GL, no SDL).
//
// Supported OBJ subset (see obj_loader.cpp for the exact token rules):
//   v, vt (u v; a third value is dropped), vn, f in the forms "p", "p/t",
//   "p/t/n", "p//n" with positive or negative (relative) indices, faces of
//   any number of corners triangulated as a fan, o, usemtl, mtllib (counted,
//   never opened). Everything else is skipped line by line.
// Limits: a token or a skipped line is at most 255 bytes; longer ones go on
//   as further tokens. Indices that name no element read so far drop the
//   triangles that use them (never an out-of-range read).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// GPU-facing vertex: fifteen 32-bit floats, stride 60 bytes, no padding.
// Attributes the face form does not supply are 0.0; the tangent frame
// (words 8-14) is never filled by this system and stays 0.0.
struct MeshVertex {
    float position[3] = {0.0f, 0.0f, 0.0f};  // bytes 0-11
    float texcoord[2] = {0.0f, 0.0f};        // bytes 12-19
    float normal[3] = {0.0f, 0.0f, 0.0f};    // bytes 20-31
    float tangent[3] = {0.0f, 0.0f, 0.0f};   // bytes 32-43
    float handedness = 0.0f;                 // bytes 44-47
    float bitangent[3] = {0.0f, 0.0f, 0.0f}; // bytes 48-59
};
static_assert(sizeof(MeshVertex) == 60, "MeshVertex must be fifteen packed floats (stride 60)");
static_assert(offsetof(MeshVertex, texcoord) == 12 && offsetof(MeshVertex, normal) == 20,
              "the drawing side reads texcoords at byte 12 and normals at byte 20");

// Material record. The numbers default to those of the built-in "default"
// material, so a material added for a material-library line (whose file is
// never read) has defined values too.
struct MeshMaterial {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
    float opacity = 1.0f; // sort key of the batches, highest first
    std::string name;
    std::string texture;
    std::string normal_map; // never filled by this system
};

// A run of consecutive triangles with one material.
struct MeshBatch {
    std::int32_t first_index = 0;           // position in indices: 3 x first triangle
    std::int32_t triangle_count = 0;        // triangles in the run
    const MeshMaterial *material = nullptr; // into the same mesh's materials
};

// For each position number (0-based "v" line), the vertices built from it in
// the order they were added. Position numbers are dense, so the lists are
// chains through flat arrays (one allocation each) rather than a tree of small
// arrays, ordered by position number by construction. Lookups walk the list
// while it is short (the usual one to six vertices); a position whose list
// grows long also gets its vertices entered in a hash index over (position
// number, all 60 bytes). A position never lists two equal vertices, so the
// index finds the same vertex as the walk, and a file that gives one position
// thousands of different texture coordinates costs no more than any other.
class VertexLists
{
  public:
    static constexpr std::uint32_t none = 0xFFFFFFFFu;

    bool contains(std::int32_t position) const;
    // The vertex numbers listed under a position, in the order they were added.
    std::vector<std::uint32_t> list(std::int32_t position) const;
    // Number of positions that have at least one vertex.
    std::size_t size() const;
    void clear();
    void reserve(std::size_t positions, std::size_t vertices);

    // The vertex listed under `position` equal to `candidate` in all fifteen
    // words compared bit for bit, or none. `vertices` is the mesh's array.
    std::uint32_t find(std::int32_t position, const MeshVertex &candidate,
                       const std::vector<MeshVertex> &vertices) const;
    // Appends vertex number `vertex` (already in `vertices`) to the list of
    // `position` (0 or more).
    void add(std::int32_t position, std::uint32_t vertex, const std::vector<MeshVertex> &vertices);

  private:
    struct Slot {
        std::uint32_t vertex = none;
        std::int32_t position = 0;
    };
    void insert_slot(Slot slot, const std::vector<MeshVertex> &vertices);

    std::vector<std::uint32_t> first_;  // by position number: first vertex, or none
    std::vector<std::uint32_t> last_;   // by position number: last vertex, or none
    std::vector<std::uint32_t> next_;   // by vertex number: next vertex of its position, or none
    std::vector<std::uint32_t> length_; // by position number: vertices listed
    std::vector<Slot> slots_;           // open addressing, power-of-two size
    std::size_t used_ = 0;
    std::size_t positions_used_ = 0;
};

struct ObjMesh {
    std::vector<std::int32_t> object_starts; // object k: [object_starts[k], object_starts[k+1])
    bool loaded = false;
    bool has_positions = false;
    bool has_texcoords = false;
    bool has_normals = false;  // "vn" lines were read, or normals were computed
    bool has_tangents = false; // never set by this system
    std::int32_t position_count = 0;
    std::int32_t texcoord_count = 0;
    std::int32_t normal_count = 0;
    std::int32_t triangle_count = 0;
    std::int32_t material_count = 0; // material-library lines; "default" is not counted
    std::int32_t batch_count = 0;
    float center[3] = {0.0f, 0.0f, 0.0f};
    float size_x = 0.0f;
    float size_y = 0.0f;
    float size_z = 0.0f;
    float max_size = 0.0f;
    std::string directory; // folder of the file name with its trailing separator
    std::vector<MeshBatch> batches;
    std::vector<MeshMaterial> materials;
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<std::int32_t> triangle_materials;
    std::vector<float> positions; // 3 per "v" line
    std::vector<float> texcoords; // 2 per "vt" line
    std::vector<float> normals;   // 3 per "vn" line
    std::map<std::string, std::int32_t> material_by_name;
    VertexLists vertices_by_position;

    ObjMesh() = default;
    // Batches point into materials: a copy would point into the original.
    ObjMesh(const ObjMesh &) = delete;
    ObjMesh &operator=(const ObjMesh &) = delete;
    ObjMesh(ObjMesh &&) noexcept = default;
    ObjMesh &operator=(ObjMesh &&) noexcept = default;

    // Reads an OBJ file. False when it cannot be opened or is a folder (the
    // mesh is then unchanged); true otherwise, whatever the file holds: malformed parts are
    // skipped quietly. Loading again first empties the mesh.
    bool load(const char *file_name, bool recompute_normals);
    // The same on text already in memory; file_name only gives `directory`.
    void load_text(std::string_view text, std::string_view file_name, bool recompute_normals);

    // Steps of the load, public so that tests can run them on hand-made data.
    std::uint32_t find_or_add_vertex(std::int32_t position, const MeshVertex &candidate);
    void add_material_library(const std::string &path);
    void build_batches();
    void compute_bounds();
    void compute_normals();
    // Frees what only loading needs (the file's position, texture and
    // normal lists, the vertex look-up and the per-triangle materials); the
    // drawn data (vertices, indices, objects, batches, materials) stays.
    void drop_load_tables();
};
