// meshpreview: renders an OBJ mesh from straight above into a PNG, the way
// the top-view pass sees it (looking down -y, +z up on the picture, +x to
// the left), so authors can judge a mesh's shapes without running the show.
//
//   meshpreview IN.obj OUT.png [--size N] [--tilt DEG] [--height] [--apart]
//               [--pass city|city-near|insect|leaf]
//
// --tilt turns the mesh about the x axis first (the show tilts the city by
// 20 degrees; 60 or so gives an oblique view that shows heights);
// --height paints the height map instead of lit colours. Each object gets
// its own hue; --apart lays the objects out side by side (for a file of
// alternatives such as the leaves). The view is fitted to the mesh's bounds.
// --pass instead frames the mesh exactly as the top-view pass does (its
// placement and scale, perspective 65 degrees from 90 units above) and
// paints the height map it would give: red = height / 32, green = light,
// black where nothing covers the map; "city-near" is the doubled scale
// after scene time 84, "leaf" one leaf at full size.
// Depends on: libpng. Limits: a small software rasteriser, orthographic,
// 2x2 supersampled; reads "v", "vn", "f" (any corner form) and "o".
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

struct V3 {
    float x = 0, y = 0, z = 0;
};
V3 sub(V3 a, V3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 crs(V3 a, V3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
V3 nrm(V3 a)
{
    const float l = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return l > 0 ? V3{a.x / l, a.y / l, a.z / l} : V3{0, 1, 0};
}

struct Tri {
    std::array<V3, 3> p, n;
    int object = 0;
};

int resolve(int index, size_t count)
{
    return index < 0 ? static_cast<int>(count) + index : index - 1;
}

bool read_obj(const char *path, std::vector<Tri> &tris, int &objects)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::vector<V3> pos, nor;
    std::string line;
    objects = 0;
    int current = -1;
    while (std::getline(in, line)) {
        std::istringstream ls(line);
        std::string key;
        ls >> key;
        if (key == "v") {
            V3 v;
            ls >> v.x >> v.y >> v.z;
            pos.push_back(v);
        } else if (key == "vn") {
            V3 v;
            ls >> v.x >> v.y >> v.z;
            nor.push_back(v);
        } else if (key == "o") {
            current = objects++;
        } else if (key == "f") {
            std::vector<std::pair<int, int>> corners;
            std::string tok;
            while (ls >> tok) {
                int p = 0, n = 0;
                const size_t s1 = tok.find('/');
                p = std::atoi(tok.c_str());
                if (s1 != std::string::npos) {
                    const size_t s2 = tok.find('/', s1 + 1);
                    if (s2 != std::string::npos)
                        n = std::atoi(tok.c_str() + s2 + 1);
                }
                corners.push_back({resolve(p, pos.size()), n ? resolve(n, nor.size()) : -1});
            }
            for (size_t k = 2; k < corners.size(); ++k) {
                Tri t;
                t.object = std::max(current, 0);
                const std::pair<int, int> c[3] = {corners[0], corners[k - 1], corners[k]};
                bool ok = true;
                for (int j = 0; j < 3; ++j) {
                    if (c[j].first < 0 || c[j].first >= static_cast<int>(pos.size()))
                        ok = false;
                    else
                        t.p[j] = pos[c[j].first];
                }
                if (!ok)
                    continue;
                const V3 g = nrm(crs(sub(t.p[1], t.p[0]), sub(t.p[2], t.p[0])));
                for (int j = 0; j < 3; ++j)
                    t.n[j] = (c[j].second >= 0 && c[j].second < static_cast<int>(nor.size()))
                                 ? nor[c[j].second]
                                 : g;
                tris.push_back(t);
            }
        }
    }
    return true;
}

V3 hue(int i)
{
    // Well-spaced hues, kept light so shading reads.
    const float h = std::fmod(i * 0.618034f, 1.0f) * 6;
    const float x = 1 - std::fabs(std::fmod(h, 2.0f) - 1);
    V3 c;
    switch (static_cast<int>(h)) {
    case 0:
        c = {1, x, 0};
        break;
    case 1:
        c = {x, 1, 0};
        break;
    case 2:
        c = {0, 1, x};
        break;
    case 3:
        c = {0, x, 1};
        break;
    case 4:
        c = {x, 0, 1};
        break;
    default:
        c = {1, 0, x};
        break;
    }
    return {0.45f + 0.55f * c.x, 0.45f + 0.55f * c.y, 0.45f + 0.55f * c.z};
}

// Moves every object to its own cell of a square grid, in reading order.
void lay_apart(std::vector<Tri> &tris, int objects)
{
    std::vector<V3> lo(objects, {1e30f, 1e30f, 1e30f}), hi(objects, {-1e30f, -1e30f, -1e30f});
    float cell = 0;
    for (const Tri &t : tris)
        for (const V3 &p : t.p) {
            V3 &a = lo[t.object];
            V3 &b = hi[t.object];
            a = {std::min(a.x, p.x), std::min(a.y, p.y), std::min(a.z, p.z)};
            b = {std::max(b.x, p.x), std::max(b.y, p.y), std::max(b.z, p.z)};
        }
    for (int k = 0; k < objects; ++k)
        cell = std::max({cell, hi[k].x - lo[k].x, hi[k].z - lo[k].z});
    cell *= 1.15f;
    const int cols = static_cast<int>(std::ceil(std::sqrt(static_cast<float>(objects))));
    for (Tri &t : tris) {
        const int k = t.object;
        const float ox = -(k % cols) * cell - (lo[k].x + hi[k].x) / 2; // picture x is -x
        const float oz = -(k / cols) * cell - (lo[k].z + hi[k].z) / 2;
        for (V3 &p : t.p)
            p = {p.x + ox, p.y, p.z + oz};
    }
}

// Applies the top-view pass's placement: its scale 0.1 x 0.57 (doubled for
// "city-near"), the insect's translate and scale, a leaf's size 55.
bool place_for_pass(std::vector<Tri> &tris, const std::string &pass)
{
    float scale = 0.057f, pre_scale = 1, shift_y = 0;
    if (pass == "city-near")
        scale *= 2;
    else if (pass == "insect")
        pre_scale = 3.2f, shift_y = -108;
    else if (pass == "leaf")
        pre_scale = 55;
    else if (pass != "city")
        return false;
    for (Tri &t : tris)
        for (V3 &p : t.p)
            p = {scale * pre_scale * p.x, scale * (pre_scale * p.y + shift_y), scale * pre_scale * p.z};
    return true;
}

bool write_png(const char *path, int w, int h, const std::vector<unsigned char> &rgb)
{
    std::FILE *f = std::fopen(path, "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, const_cast<unsigned char *>(rgb.data() + static_cast<size_t>(y) * w * 3));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: meshpreview IN.obj OUT.png [--size N] [--tilt DEG] [--height] [--apart]\n"
                     "                   [--pass city|city-near|insect|leaf]\n");
        return 1;
    }
    int size = 1024;
    float tilt = 0;
    bool height_mode = false, apart = false;
    std::string pass;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc)
            size = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--tilt") && i + 1 < argc)
            tilt = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--height"))
            height_mode = true;
        else if (!std::strcmp(argv[i], "--apart"))
            apart = true;
        else if (!std::strcmp(argv[i], "--pass") && i + 1 < argc)
            pass = argv[++i];
        else {
            std::fprintf(stderr, "meshpreview: unknown option %s\n", argv[i]);
            return 1;
        }
    }
    if (size < 16 || size > 8192)
        size = 1024;
    std::vector<Tri> tris;
    int objects = 0;
    if (!read_obj(argv[1], tris, objects)) {
        std::fprintf(stderr, "meshpreview: cannot read %s\n", argv[1]);
        return 2;
    }
    if (!pass.empty() && !place_for_pass(tris, pass)) {
        std::fprintf(stderr, "meshpreview: unknown pass placement %s\n", pass.c_str());
        return 1;
    }
    if (apart && objects > 1)
        lay_apart(tris, objects);
    // Turn about x, then view: picture x = -x, picture up = z, depth = y.
    const float c = std::cos(tilt * 3.14159265f / 180), s = std::sin(tilt * 3.14159265f / 180);
    auto turn = [&](V3 v) { return V3{v.x, v.y * c - v.z * s, v.y * s + v.z * c}; };
    V3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    for (Tri &t : tris)
        for (int j = 0; j < 3; ++j) {
            t.p[j] = turn(t.p[j]);
            t.n[j] = turn(t.n[j]);
            lo = {std::min(lo.x, t.p[j].x), std::min(lo.y, t.p[j].y), std::min(lo.z, t.p[j].z)};
            hi = {std::max(hi.x, t.p[j].x), std::max(hi.y, t.p[j].y), std::max(hi.z, t.p[j].z)};
        }
    const int ss = 2, W = size * ss;
    const float extent = std::max(hi.x - lo.x, hi.z - lo.z) * 1.06f + 1e-6f;
    const float cx = (lo.x + hi.x) / 2, cz = (lo.z + hi.z) / 2;
    const float scale = W / extent;
    // The top-view camera: eye 90 above, 65 degree field of view, square map.
    const float focal = 1.0f / std::tan(32.5f * 3.14159265f / 180);
    auto project = [&](V3 p, float &x, float &y) {
        if (pass.empty()) {
            x = W / 2.0f - (p.x - cx) * scale;
            y = W / 2.0f - (p.z - cz) * scale;
        } else {
            const float dist = std::max(90 - p.y, 0.1f);
            x = W / 2.0f * (1 - focal * p.x / dist);
            y = W / 2.0f * (1 - focal * p.z / dist);
        }
    };
    std::vector<float> depth(static_cast<size_t>(W) * W, -1e30f);
    std::vector<V3> colour(static_cast<size_t>(W) * W);
    const V3 light = nrm({-0.35f, 1.0f, 0.5f});
    const float ylo = lo.y, yspan = std::max(hi.y - lo.y, 1e-6f);
    for (const Tri &t : tris) {
        float sx[3], sy[3];
        for (int j = 0; j < 3; ++j) {
            project(t.p[j], sx[j], sy[j]);
        }
        const float area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
        if (std::fabs(area) < 1e-9f)
            continue;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({sx[0], sx[1], sx[2]}))));
        const int x1 = std::min(W - 1, static_cast<int>(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({sy[0], sy[1], sy[2]}))));
        const int y1 = std::min(W - 1, static_cast<int>(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
        const V3 base = hue(t.object);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                float b[3];
                for (int j = 0; j < 3; ++j) {
                    const int k = (j + 1) % 3, l = (j + 2) % 3;
                    b[j] = ((sx[l] - sx[k]) * (py - sy[k]) - (px - sx[k]) * (sy[l] - sy[k])) / area;
                }
                if (b[0] < 0 || b[1] < 0 || b[2] < 0)
                    continue;
                const float d = b[0] * t.p[0].y + b[1] * t.p[1].y + b[2] * t.p[2].y;
                const size_t at = static_cast<size_t>(y) * W + x;
                if (d <= depth[at])
                    continue;
                depth[at] = d;
                const float hn = (d - ylo) / yspan;
                if (!pass.empty()) {
                    V3 n = nrm({b[0] * t.n[0].x + b[1] * t.n[1].x + b[2] * t.n[2].x,
                                b[0] * t.n[0].y + b[1] * t.n[1].y + b[2] * t.n[2].y,
                                b[0] * t.n[0].z + b[1] * t.n[1].z + b[2] * t.n[2].z});
                    const float lit = std::max(0.0f, n.x * light.x + n.y * light.y + n.z * light.z);
                    colour[at] = {std::clamp(d / 32, 0.0f, 1.0f), lit, 0};
                    continue;
                }
                if (height_mode) {
                    colour[at] = {hn, hn, hn};
                    continue;
                }
                V3 n = nrm({b[0] * t.n[0].x + b[1] * t.n[1].x + b[2] * t.n[2].x,
                            b[0] * t.n[0].y + b[1] * t.n[1].y + b[2] * t.n[2].y,
                            b[0] * t.n[0].z + b[1] * t.n[1].z + b[2] * t.n[2].z});
                if (n.y < 0)
                    n = {-n.x, -n.y, -n.z}; // two-sided lighting
                const float lit =
                    0.25f + 0.75f * std::max(0.0f, n.x * light.x + n.y * light.y + n.z * light.z);
                const float k = lit * (0.45f + 0.55f * hn);
                colour[at] = {base.x * k, base.y * k, base.z * k};
            }
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(size) * size * 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            V3 sum;
            for (int dy = 0; dy < ss; ++dy)
                for (int dx = 0; dx < ss; ++dx) {
                    const V3 &q = colour[static_cast<size_t>(y * ss + dy) * W + x * ss + dx];
                    sum = {sum.x + q.x, sum.y + q.y, sum.z + q.z};
                }
            const float inv = 1.0f / (ss * ss);
            unsigned char *o = &rgb[(static_cast<size_t>(y) * size + x) * 3];
            o[0] = static_cast<unsigned char>(std::clamp(sum.x * inv, 0.0f, 1.0f) * 255 + 0.5f);
            o[1] = static_cast<unsigned char>(std::clamp(sum.y * inv, 0.0f, 1.0f) * 255 + 0.5f);
            o[2] = static_cast<unsigned char>(std::clamp(sum.z * inv, 0.0f, 1.0f) * 255 + 0.5f);
        }
    if (!write_png(argv[2], size, size, rgb)) {
        std::fprintf(stderr, "meshpreview: cannot write %s\n", argv[2]);
        return 2;
    }
    std::printf("%s: %zu triangles, %d objects, bounds %.2f %.2f %.2f .. %.2f %.2f %.2f (after tilt)\n",
                argv[1], tris.size(), objects, lo.x, lo.y, lo.z, hi.x, hi.y, hi.z);
    return 0;
}
