// Test support for comparing OBJ loaders: a digest of everything a load
// produces, and deterministic random OBJ texts that mix well-formed lines
// with the malformed forms the loader's rules cover (numbers of every
// shape, mixed corner forms, missing and out-of-range indices, long lines,
// stray separators). The generator uses its own arithmetic so that the
// texts are the same with every standard library.
// Depends on: assets/mesh (ObjMesh).
#pragma once

#include "assets/mesh/obj_mesh.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace obj_test
{

inline std::uint64_t digest(const ObjMesh &m)
{
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&](const void *p, std::size_t n) {
        const auto *b = static_cast<const unsigned char *>(p);
        for (std::size_t i = 0; i < n; ++i) {
            h ^= b[i];
            h *= 1099511628211ull;
        }
    };
    auto mix_vector = [&](const auto &v) {
        const std::size_t n = v.size();
        mix(&n, sizeof n);
        if (n != 0)
            mix(v.data(), n * sizeof(v[0]));
    };
    const std::int32_t counts[] = {m.position_count, m.texcoord_count, m.normal_count,
                                   m.triangle_count, m.material_count, m.batch_count};
    mix(counts, sizeof counts);
    mix_vector(m.vertices);
    mix_vector(m.indices);
    mix_vector(m.triangle_materials);
    mix_vector(m.positions);
    mix_vector(m.texcoords);
    mix_vector(m.normals);
    mix_vector(m.object_starts);
    const float bounds[] = {m.center[0], m.center[1], m.center[2], m.size_x, m.size_y, m.size_z, m.max_size};
    mix(bounds, sizeof bounds);
    const bool flags[] = {m.has_positions, m.has_texcoords, m.has_normals};
    mix(flags, sizeof flags);
    for (const MeshBatch &b : m.batches) {
        mix(&b.first_index, sizeof b.first_index);
        mix(&b.triangle_count, sizeof b.triangle_count);
    }
    const std::size_t materials = m.materials.size();
    mix(&materials, sizeof materials);
    return h;
}

class random_obj
{
  public:
    explicit random_obj(std::uint64_t seed) : state_(seed * 2862933555777941757ull + 3037000493ull) {}

    std::string text()
    {
        std::string out;
        const char *newline = pick(4) == 0 ? "\r\n" : "\n";
        const int lines = 1 + static_cast<int>(pick(60));
        for (int l = 0; l < lines; ++l) {
            const unsigned kind = pick(100);
            if (kind < 25) {
                out += "v " + number() + " " + number() + " " + number();
            } else if (kind < 35) {
                out += "vt " + number() + " " + number();
            } else if (kind < 45) {
                out += "vn " + number() + " " + number() + " " + number();
            } else if (kind < 75) {
                out += "f";
                const unsigned form = pick(4);
                const int corners = 1 + static_cast<int>(pick(7));
                for (int c = 0; c < corners; ++c)
                    out += " " + corner(pick(10) == 0 ? pick(4) : form);
            } else {
                const int pieces = 1 + static_cast<int>(pick(8));
                for (int p = 0; p < pieces; ++p)
                    out += piece();
            }
            out += newline;
        }
        if (pick(2) == 0)
            out.pop_back();
        return out;
    }

  private:
    unsigned pick(unsigned n)
    {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<unsigned>((state_ >> 33) % n);
    }
    std::string index()
    {
        const int v = pick(3) == 0 ? static_cast<int>(pick(19)) - 6 : 1 + static_cast<int>(pick(4));
        return std::to_string(v);
    }
    std::string corner(unsigned form)
    {
        switch (form) {
        case 0:
            return index();
        case 1:
            return index() + "/" + index();
        case 2:
            return index() + "/" + index() + "/" + index();
        default:
            return index() + "//" + index();
        }
    }
    std::string number()
    {
        char buf[64];
        const unsigned kind = pick(10);
        const double u = (static_cast<double>(pick(2000001)) - 1000000.0) / 10000.0;
        if (kind < 5)
            std::snprintf(buf, sizeof buf, "%.6f", u);
        else if (kind < 7)
            std::snprintf(buf, sizeof buf, "%d", static_cast<int>(pick(26)) - 5);
        else if (kind < 8)
            std::snprintf(buf, sizeof buf, "%.9g", u * 1e7);
        else
            return piece();
        return buf;
    }
    std::string piece()
    {
        static const char *const pieces[] = {"v",
                                             "vt",
                                             "vn",
                                             "f",
                                             "o",
                                             "u",
                                             "usemtl m",
                                             "mtllib a.mtl",
                                             "#c",
                                             "vx",
                                             "g",
                                             " ",
                                             "  ",
                                             "\t",
                                             "\n",
                                             "\r\n",
                                             "/",
                                             "//",
                                             "-",
                                             "+",
                                             "0",
                                             "1",
                                             "2",
                                             "3",
                                             "-1",
                                             "-2",
                                             "-3",
                                             "7",
                                             "12",
                                             "1.5",
                                             "-0.25",
                                             "1e3",
                                             "2e-5",
                                             "nan",
                                             "inf",
                                             "0x1p3",
                                             "1.",
                                             "..",
                                             "999999999999",
                                             "4294967297",
                                             "-2147483648",
                                             "2147483648",
                                             "0000001",
                                             "1e",
                                             "-.5e+2"};
        return pieces[pick(sizeof pieces / sizeof pieces[0])];
    }

    std::uint64_t state_;
};

} // namespace obj_test
