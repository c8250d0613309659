// Six leaves, one object each, in the order the falling-leaves scene picks
// them: oak, maple, birch, willow, ginkgo, elm.
//
// A leaf is a blade on a grid: simple leaves run along the midrib (base to
// tip, one side to the other), maple and ginkgo spread from the stalk in
// polar rings. Each blade is scaled to fit +-1.5 units, lies in the x-z
// plane with its tip towards +z, cups a little and curls along its length,
// and has a thin underside so it reads from both sides. Texture
// coordinates map the +-1.5 square to 0..1.
// Depends on: solids.h, meshes.h. Limits: the seed only varies the curl
// and the tooth phase a little; the outlines are fixed.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "meshes.h"
#include "solids.h"

namespace meshgen
{
namespace
{

constexpr double kHalfSize = 1.45; // the blade with its stalk fits +-kHalfSize
constexpr double kUnderside = 0.012;

// Outline point for grid coordinates a (0..1) and b (0..1), in leaf units.
using Blade = std::function<Vec3(double a, double b)>;

double saw(double x)
{
    return x - std::floor(x);
} // 0..1 ramp

struct LeafKind {
    const char *name;
    Blade blade;
    int rows, cols;
    double cup, curl;
};

// Simple leaves: a (0..1) runs along the midrib, b across.
Blade midrib(std::function<double(double t, double side)> half_width, double bend)
{
    return [=](double t, double b) {
        const double side = b < 0.5 ? -1.0 : 1.0;
        const double s = 2 * b - 1;
        const double x = s * half_width(t, side) + bend * std::sin(kPi * t);
        return Vec3{x, 0, t};
    };
}

// Polar leaves: a (0..1) is the ring, b the angle across [lo, hi].
Blade polar(std::function<double(double theta)> radius, double lo, double hi, Vec3 centre)
{
    return [=](double rho, double b) {
        const double th = lo + (hi - lo) * b;
        const double r = rho * radius(th);
        return centre + Vec3{r * std::sin(th), 0, r * std::cos(th)};
    };
}

std::vector<LeafKind> kinds(Rng &rng)
{
    const double phase = rng.range(0, 0.3);
    std::vector<LeafKind> k;
    k.push_back({"oak",
                 midrib(
                     [=](double t, double side) {
                         const double body = 0.42 * std::pow(std::sin(kPi * std::pow(t, 0.85)), 0.8);
                         const double shift = side > 0 ? 0.0 : 0.06;
                         const double lobes =
                             std::sqrt(std::fabs(std::sin(kPi * (4.5 * t + shift + phase * 0.1))));
                         return body * (0.42 + 0.58 * lobes) * (t < 0.04 ? t / 0.04 : 1.0);
                     },
                     0.02),
                 64, 8, 0.10, 0.10});
    k.push_back({"maple",
                 polar(
                     [=](double th) {
                         const double deg = th * 180 / kPi;
                         // Five broad lobes with pointed tips and a few side teeth.
                         double r = 0.34;
                         const double centres[] = {0, 58, -58, 118, -118};
                         const double heights[] = {1.0, 0.9, 0.9, 0.55, 0.55};
                         for (int i = 0; i < 5; ++i) {
                             const double d = std::fabs(deg - centres[i]) / 34.0;
                             if (d < 1)
                                 r = std::max(r, 0.34 + (heights[i] - 0.34) * std::pow(1 - d, 1.8));
                         }
                         const double tooth = std::pow(1 - std::fabs(2 * saw(deg / 11.0 + phase) - 1), 3);
                         return r * (1 + 0.12 * tooth * (r > 0.45));
                     },
                     -kPi * 0.82, kPi * 0.82, {0, 0, 0}),
                 10, 160, 0.06, 0.08});
    k.push_back({"birch",
                 midrib(
                     [=](double t, double) {
                         const double body = 0.62 * std::pow(t, 0.3) * std::pow(1 - t, 0.95) * 1.45;
                         const double teeth = 1 + 0.06 * saw(t * 15 + phase) + 0.03 * saw(t * 30);
                         return body * teeth;
                     },
                     0.0),
                 64, 8, 0.08, 0.12});
    k.push_back({"willow",
                 midrib(
                     [=](double t, double) {
                         return 0.12 * std::pow(std::sin(kPi * t), 0.7) * (1 + 0.04 * saw(t * 24 + phase));
                     },
                     0.035),
                 48, 4, 0.25, 0.22});
    k.push_back({"ginkgo",
                 polar(
                     [=](double th) {
                         const double deg = th * 180 / kPi;
                         const double notch = 1 - 0.3 * std::exp(-(deg * deg) / (7.0 * 7.0));
                         const double wave = 1 + 0.025 * std::sin(deg * 0.45 + phase * 10);
                         const double sides = 0.7 + 0.3 * std::cos(th * 1.6);
                         return notch * wave * sides;
                     },
                     -kPi * 0.36, kPi * 0.36, {0, 0, 0}),
                 10, 72, 0.05, -0.06});
    k.push_back({"elm",
                 midrib(
                     [=](double t, double side) {
                         // The two halves start at different heights: an uneven base.
                         const double start = side > 0 ? 0.0 : 0.09;
                         if (t <= start)
                             return 0.0;
                         const double u = (t - start) / (1 - start);
                         const double body = 0.5 * std::pow(std::sin(kPi * std::pow(u, 0.8)), 0.85);
                         const double teeth = 1 + 0.07 * saw(u * 17 + phase) + 0.03 * saw(u * 34);
                         return body * teeth;
                     },
                     0.015),
                 64, 8, 0.09, 0.10});
    return k;
}

void leaf(ObjWriter &w, const LeafKind &kind)
{
    const int rows = kind.rows, cols = kind.cols;
    std::vector<Vec3> flat;
    for (int i = 0; i <= rows; ++i)
        for (int j = 0; j <= cols; ++j)
            flat.push_back(kind.blade(static_cast<double>(i) / rows, static_cast<double>(j) / cols));

    // Fit the blade plus a stalk of a fifth of its length into +-kHalfSize.
    double x0 = 1e9, x1 = -1e9, z0 = 1e9, z1 = -1e9;
    for (const Vec3 &p : flat) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        z0 = std::min(z0, p.z), z1 = std::max(z1, p.z);
    }
    const Vec3 base = kind.blade(0, 0.5);
    const double stalk = 0.2 * (z1 - z0);
    const double lo_z = std::min(z0, base.z - stalk);
    const double scale = 2 * kHalfSize / std::max(x1 - x0, z1 - lo_z);
    const Vec3 mid{(x0 + x1) / 2, 0, (lo_z + z1) / 2};
    auto place = [&](Vec3 p) {
        Vec3 q = (p - mid) * scale;
        const double along = q.z / kHalfSize;
        q.y = kind.cup * q.x * q.x - kind.curl * along * along + 0.04 * std::fabs(q.x);
        return q;
    };

    std::vector<Vec3> pts;
    for (const Vec3 &p : flat)
        pts.push_back(place(p));
    std::vector<Vec3> normals(pts.size());
    auto idx = [cols](int i, int j) { return static_cast<size_t>(i * (cols + 1) + j); };
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const Vec3 a = pts[idx(i, j)], b = pts[idx(i + 1, j)], c = pts[idx(i + 1, j + 1)],
                       d = pts[idx(i, j + 1)];
            Vec3 n = cross(c - a, d - b);
            if (n.y < 0)
                n = n * -1.0;
            for (size_t k : {idx(i, j), idx(i + 1, j), idx(i + 1, j + 1), idx(i, j + 1)})
                normals[k] = normals[k] + n;
        }
    for (Vec3 &n : normals)
        n = length(n) > 1e-12 ? normalized(n) : Vec3{0, 1, 0};

    for (int face = 0; face < 2; ++face) {
        const double flip = face == 0 ? 1 : -1;
        sheet(
            w, rows, cols,
            [&](int i, int j) {
                SheetVertex v;
                v.p = pts[idx(i, j)] - Vec3{0, face * kUnderside, 0};
                v.n = normals[idx(i, j)] * flip;
                v.u = (v.p.x + 1.5) / 3.0;
                v.v = (v.p.z + 1.5) / 3.0;
                return v;
            },
            true);
    }

    // The stalk: a thin round strip from the blade's base backwards.
    const Vec3 from = place(base), to = place(base - Vec3{0, 0, stalk});
    const int ring = 5;
    sheet(
        w, 4, ring,
        [&](int i, int j) {
            const double t = i / 4.0, a = 2 * kPi * (j % ring) / ring;
            const double r = 0.03 * (1 - 0.4 * t);
            SheetVertex v;
            const Vec3 dir{std::cos(a), std::sin(a), 0};
            v.p = lerp(from, to, t) + dir * r;
            v.n = dir;
            v.u = (v.p.x + 1.5) / 3.0;
            v.v = (v.p.z + 1.5) / 3.0;
            return v;
        },
        true);
}

} // namespace

std::string make_leaves(std::uint64_t seed)
{
    Rng rng(seed * 131 + 17);
    ObjWriter w("leaves.obj: made by meshgen, seed " + std::to_string(seed) +
                    "; six leaves, one object each, tip towards +z, top side +y",
                4, true);
    for (const LeafKind &kind : kinds(rng)) {
        w.object(kind.name);
        leaf(w, kind);
    }
    return w.text();
}

} // namespace meshgen
