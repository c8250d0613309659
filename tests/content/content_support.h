// Helpers for the content tests: running the generator and loader tools,
// reading files, a plain OBJ reader and a libjpeg decode, all independent
// of the show's own loaders so that they can judge them.
//
// Depends on: libjpeg, the C++ standard library. Limits: POSIX popen/system.
#pragma once

#include "support/scratch_folder.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace content
{

// The folder of the committed show files.
std::filesystem::path data_dir();

// A fresh empty folder under the system temporary folder, removed by the
// destructor.
class TempDir
{
  public:
    const std::filesystem::path &path() const { return scratch_.path(); }

  private:
    ScratchFolder scratch_{"content"};
};

struct RunResult {
    int exit_code = -1;
    std::string output; // standard output
};
// Runs `program` with `args` (each quoted for the shell).
RunResult run(const std::string &program, const std::vector<std::string> &args);

std::string read_file(const std::filesystem::path &path);

// One OBJ file as a plain reader sees it.
struct ObjFile {
    std::string error; // empty when every line was well formed
    int positions = 0, texcoords = 0, normals = 0, faces = 0, triangles = 0;
    std::vector<std::string> object_names;
    std::vector<int> object_triangles; // per object
    std::array<double, 3> lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
    std::vector<std::array<double, 6>> object_bounds; // lo xyz, hi xyz
    int faces_against_normals = 0;                    // faces whose winding disagrees with their normals
    size_t longest_line = 0;
    std::string face_form; // "v//vn", "v/vt/vn", ... of the first face
    bool mixed_forms = false;
};
ObjFile read_obj(const std::filesystem::path &path);

// A JPEG decoded by libjpeg-turbo into RGB, with what its headers say.
struct Decoded {
    bool ok = false;
    int width = 0, height = 0, components = 0;
    bool progressive = false;
    unsigned restart_interval = 0;
    int luma_h = 0, luma_v = 0;
    std::vector<unsigned char> rgb;
    const unsigned char *at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};
Decoded decode_jpeg(const std::filesystem::path &path);

// A binary PPM (P6) as written by jpegdump.
struct Ppm {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};
Ppm read_ppm(const std::filesystem::path &path);

} // namespace content
