// objinfo FILE.obj [--recompute-normals]: loads a mesh the way the show does
// and prints what came out, one "name value" per line, the load time in
// milliseconds last. Asset authors use it to check their meshes.
// Depends on: assets/mesh.
#include "assets/mesh/obj_mesh.h"

#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: objinfo FILE.obj [--recompute-normals]\n");
        return 2;
    }
    const bool recompute = argc > 2 && std::strcmp(argv[2], "--recompute-normals") == 0;

    ObjMesh mesh;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = mesh.load(argv[1], recompute);
    const auto stop = std::chrono::steady_clock::now();
    if (!ok) {
        std::fprintf(stderr, "objinfo: cannot open \"%s\"\n", argv[1]);
        return 1;
    }

    // n entries of object_starts describe n - 1 objects.
    const std::size_t objects = mesh.object_starts.empty() ? 0 : mesh.object_starts.size() - 1;
    // The box over the vertices, as the loader measures it; all zeros when empty.
    float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i)
        for (int a = 0; a < 3; ++a) {
            const float v = mesh.vertices[i].position[a];
            if (i == 0 || v < lo[a])
                lo[a] = v;
            if (i == 0 || v > hi[a])
                hi[a] = v;
        }
    std::printf("positions %d\n", mesh.position_count);
    std::printf("texcoords %d\n", mesh.texcoord_count);
    std::printf("normals %d\n", mesh.normal_count);
    std::printf("triangles %d\n", mesh.triangle_count);
    std::printf("vertices %zu\n", mesh.vertices.size());
    std::printf("objects %zu\n", objects);
    std::printf("materials %zu\n", mesh.materials.size());
    std::printf("batches %d\n", mesh.batch_count);
    std::printf("has_normals %d\n", mesh.has_normals ? 1 : 0);
    std::printf("bounds %g %g %g %g %g %g\n", static_cast<double>(lo[0]), static_cast<double>(lo[1]),
                static_cast<double>(lo[2]), static_cast<double>(hi[0]), static_cast<double>(hi[1]),
                static_cast<double>(hi[2]));
    std::printf("load_ms %.3f\n", std::chrono::duration<double, std::milli>(stop - start).count());
    return 0;
}
