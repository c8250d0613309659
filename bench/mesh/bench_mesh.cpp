// bench_mesh [TRIANGLES] [RUNS]: generates two OBJ files of about TRIANGLES
// triangles (default one million) on a wavy grid, one with "p/t/n" corners
// and one with positions only, loads each RUNS times (default 7) with
// ObjMesh::load and with tinyobjloader (triangulating, as the show needs
// triangles), alternating the two, and prints the best time of each (wall
// and this thread's CPU time), MB/s and the ratios in one table.
// The machine may be shared: the best of several runs is the fairest figure.
// Depends on: assets/mesh, tinyobjloader (Debian libtinyobjloader-dev).
#include "assets/mesh/obj_mesh.h"

#include <tiny_obj_loader.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace
{

// A grid of n x n points with quads split by the loaders into two triangles.
std::string write_grid(const std::string &path, int n, bool full)
{
    std::FILE *f = std::fopen(path.c_str(), "w");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fprintf(f, "# generated grid %d x %d\no grid\n", n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double u = x / double(n - 1), v = y / double(n - 1);
            std::fprintf(f, "v %.6f %.6f %.6f\n", u * 100.0 - 50.0,
                         std::sin(u * 12.0) * std::cos(v * 9.0) * 4.0, v * 100.0 - 50.0);
        }
    if (full) {
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                std::fprintf(f, "vt %.6f %.6f\n", x / double(n - 1), y / double(n - 1));
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const double a = x * 0.01, b = y * 0.013;
                const double nx = std::sin(a) * 0.3, nz = std::cos(b) * 0.3,
                             ny = std::sqrt(1.0 - nx * nx - nz * nz);
                std::fprintf(f, "vn %.6f %.6f %.6f\n", nx, ny, nz);
            }
    }
    for (int y = 0; y + 1 < n; ++y)
        for (int x = 0; x + 1 < n; ++x) {
            const int a = y * n + x + 1, b = a + 1, c = a + n + 1, d = a + n;
            if (full)
                std::fprintf(f, "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, c, c, c, d, d,
                             d);
            else
                std::fprintf(f, "f %d %d %d %d\n", a, b, c, d);
        }
    std::fclose(f);
    return path;
}

double file_mb(const std::string &path)
{
    std::FILE *f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return static_cast<double>(size) / (1024.0 * 1024.0);
}

double cpu_now_ms()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Timing {
    double wall = 1e300; // best wall-clock time, ms
    double cpu = 1e300;  // best CPU time of this thread, ms: steadier on a busy machine
    void add(double w, double c)
    {
        wall = std::min(wall, w);
        cpu = std::min(cpu, c);
    }
};

// Runs fn once and folds its times into best.
template <class Fn> void time_once(Timing &best, Fn &&fn)
{
    const double c0 = cpu_now_ms();
    const auto t0 = std::chrono::steady_clock::now();
    fn();
    const auto t1 = std::chrono::steady_clock::now();
    const double c1 = cpu_now_ms();
    best.add(std::chrono::duration<double, std::milli>(t1 - t0).count(), c1 - c0);
}

} // namespace

int main(int argc, char **argv)
{
    const long triangles = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    const int n = static_cast<int>(std::sqrt(triangles / 2.0)) + 1;
    const std::string dir = argc > 3 ? argv[3] : "/tmp";

    std::printf("%-6s %6s %9s | %9s %9s %9s | %9s %9s %9s | %6s %6s\n", "file", "MB", "triangles",
                "ours wall", "ours cpu", "cpu MB/s", "tiny wall", "tiny cpu", "cpu MB/s", "wall x", "cpu x");
    for (const bool full : {true, false}) {
        const std::string path =
            write_grid(dir + (full ? "/bench_mesh_ptn.obj" : "/bench_mesh_p.obj"), n, full);
        const double mb = file_mb(path);

        long ours_triangles = 0;
        auto load_ours = [&] {
            ObjMesh m;
            if (!m.load(path.c_str(), false))
                std::exit(1);
            ours_triangles = m.triangle_count;
        };
        long tiny_triangles = 0;
        auto load_tiny = [&] {
            tinyobj::attrib_t attrib;
            std::vector<tinyobj::shape_t> shapes;
            std::vector<tinyobj::material_t> materials;
            std::string warn, err;
            if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), nullptr, true))
                std::exit(1);
            tiny_triangles = 0;
            for (const auto &s : shapes)
                tiny_triangles += static_cast<long>(s.mesh.indices.size() / 3);
        };
        // Alternating, so that both loaders see the same spells of a busy
        // machine; the best of each is kept.
        Timing ours, tiny;
        for (int r = 0; r < runs; ++r) {
            time_once(ours, load_ours);
            time_once(tiny, load_tiny);
        }
        if (ours_triangles != tiny_triangles)
            std::fprintf(stderr, "triangle counts differ: %ld vs %ld\n", ours_triangles, tiny_triangles);
        std::printf("%-6s %6.1f %9ld | %9.1f %9.1f %9.1f | %9.1f %9.1f %9.1f | %6.2f %6.2f\n",
                    full ? "p/t/n" : "p", mb, ours_triangles, ours.wall, ours.cpu, mb / (ours.cpu / 1000.0),
                    tiny.wall, tiny.cpu, mb / (tiny.cpu / 1000.0), tiny.wall / ours.wall,
                    tiny.cpu / ours.cpu);
        std::remove(path.c_str());
    }
    std::printf("times in ms; x = tinyobjloader time / our time (above 1: we are faster); best of %d runs\n",
                runs);
    return 0;
}
