// Solid building blocks: prisms, roofs, sheets, ellipsoids, tubes.
// Depends on: solids.h.
#include "solids.h"

#include <algorithm>
#include <cmath>

namespace meshgen
{
namespace
{

Vec3 newell_normal(const std::vector<Vec3> &pts)
{
    Vec3 n;
    for (size_t i = 0; i < pts.size(); ++i) {
        const Vec3 &a = pts[i];
        const Vec3 &b = pts[(i + 1) % pts.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

Vec3 average(const std::vector<Vec3> &pts)
{
    Vec3 c;
    for (const Vec3 &p : pts)
        c = c + p;
    return c * (1.0 / static_cast<double>(pts.size()));
}

Polygon at_height(const Polygon &p, double y)
{
    Polygon out = p;
    for (Vec3 &q : out)
        q.y = y;
    return out;
}

} // namespace

void flat_face(ObjWriter &w, const std::vector<Vec3> &pts, Vec3 inside)
{
    if (pts.size() < 3)
        return;
    Vec3 n = newell_normal(pts);
    if (length(n) == 0)
        return;
    std::vector<Vec3> order = pts;
    if (dot(n, average(pts) - inside) < 0) {
        std::reverse(order.begin(), order.end());
        n = n * -1.0;
    }
    const int vn = w.normal(n);
    std::vector<Corner> corners;
    corners.reserve(order.size());
    for (const Vec3 &p : order)
        corners.push_back({w.position(p), 0, vn});
    w.face(corners);
}

Vec3 centroid(const Polygon &p)
{
    return average(p);
}

double area(const Polygon &p)
{
    double a = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const Vec3 &u = p[i];
        const Vec3 &v = p[(i + 1) % p.size()];
        a += u.x * v.z - v.x * u.z;
    }
    return std::fabs(a) * 0.5;
}

Polygon rect(double x0, double z0, double x1, double z1)
{
    return {{x0, 0, z0}, {x1, 0, z0}, {x1, 0, z1}, {x0, 0, z1}};
}

Polygon scaled(const Polygon &p, double factor)
{
    const Vec3 c = centroid(p);
    Polygon out;
    for (const Vec3 &q : p)
        out.push_back(c + (q - c) * factor);
    return out;
}

Polygon inset(const Polygon &p, double amount)
{
    // Moves every edge inwards by `amount` (exact for convex polygons).
    const Vec3 c = centroid(p);
    Polygon out = p;
    const size_t n = p.size();
    for (size_t i = 0; i < n && n >= 3; ++i) {
        const Vec3 &a = p[i];
        const Vec3 &b = p[(i + 1) % n];
        Vec3 e = normalized(b - a);
        Vec3 in{-e.z, 0, e.x};
        if (dot(in, c - a) < 0)
            in = in * -1.0;
        out = clip(out, in.x, in.z, in.x * a.x + in.z * a.z + amount);
    }
    return out;
}

Polygon clip(const Polygon &p, double nx, double nz, double d)
{
    Polygon out;
    const size_t n = p.size();
    for (size_t i = 0; i < n; ++i) {
        const Vec3 &a = p[i];
        const Vec3 &b = p[(i + 1) % n];
        const double da = nx * a.x + nz * a.z - d;
        const double db = nx * b.x + nz * b.z - d;
        if (da >= 0)
            out.push_back(a);
        if ((da >= 0) != (db >= 0))
            out.push_back(lerp(a, b, da / (da - db)));
    }
    return out;
}

void prism(ObjWriter &w, const Polygon &footprint, double y0, double y1, bool bottom)
{
    const size_t n = footprint.size();
    if (n < 3 || y1 <= y0)
        return;
    const Vec3 inside = centroid(footprint) + Vec3{0, 0.5 * (y0 + y1), 0};
    const Polygon lo = at_height(footprint, y0), hi = at_height(footprint, y1);
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        flat_face(w, {lo[i], lo[j], hi[j], hi[i]}, inside);
    }
    flat_face(w, hi, inside);
    if (bottom)
        flat_face(w, lo, inside);
}

void pyramid(ObjWriter &w, const Polygon &footprint, double y0, Vec3 apex)
{
    const size_t n = footprint.size();
    if (n < 3)
        return;
    const Polygon lo = at_height(footprint, y0);
    const Vec3 inside = lerp(centroid(lo), apex, 0.25);
    for (size_t i = 0; i < n; ++i)
        flat_face(w, {lo[i], lo[(i + 1) % n], apex}, inside);
}

void gable(ObjWriter &w, const Polygon &quad, double y0, double rise)
{
    if (quad.size() != 4)
        return;
    const Polygon q = at_height(quad, y0);
    const Vec3 up{0, rise, 0};
    const Vec3 r0 = lerp(q[3], q[0], 0.5) + up;
    const Vec3 r1 = lerp(q[1], q[2], 0.5) + up;
    const Vec3 inside = centroid(q) + up * 0.3;
    flat_face(w, {q[0], q[1], r1, r0}, inside);
    flat_face(w, {q[2], q[3], r0, r1}, inside);
    flat_face(w, {q[1], q[2], r1}, inside);
    flat_face(w, {q[3], q[0], r0}, inside);
}

void sheet(ObjWriter &w, int rows, int cols, const std::function<SheetVertex(int, int)> &at, bool texcoords)
{
    std::vector<SheetVertex> grid;
    grid.reserve(static_cast<size_t>((rows + 1) * (cols + 1)));
    for (int i = 0; i <= rows; ++i)
        for (int j = 0; j <= cols; ++j)
            grid.push_back(at(i, j));
    auto idx = [cols](int i, int j) { return static_cast<size_t>(i * (cols + 1) + j); };
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            const SheetVertex *c[4] = {&grid[idx(i, j)], &grid[idx(i + 1, j)], &grid[idx(i + 1, j + 1)],
                                       &grid[idx(i, j + 1)]};
            Vec3 geometric = cross(c[2]->p - c[0]->p, c[3]->p - c[1]->p);
            if (length(geometric) < 1e-12)
                continue;
            const Vec3 wanted = c[0]->n + c[1]->n + c[2]->n + c[3]->n;
            if (dot(geometric, wanted) < 0)
                std::swap(c[1], c[3]);
            Corner corners[4];
            for (int k = 0; k < 4; ++k) {
                corners[k].v = w.position(c[k]->p);
                corners[k].vn = w.normal(c[k]->n);
                if (texcoords)
                    corners[k].vt = w.texcoord(c[k]->u, c[k]->v);
            }
            w.face(corners);
        }
    }
}

void ellipsoid(ObjWriter &w, Vec3 center, Vec3 radii, int slices, int stacks)
{
    sheet(w, stacks, slices, [&](int i, int j) {
        const double lat = -kPi / 2 + kPi * i / stacks;
        const double lon = 2 * kPi * (j % slices) / slices;
        const Vec3 unit{std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)};
        SheetVertex v;
        v.p = center + Vec3{unit.x * radii.x, unit.y * radii.y, unit.z * radii.z};
        v.n = normalized({unit.x / radii.x, unit.y / radii.y, unit.z / radii.z});
        return v;
    });
}

void tube(ObjWriter &w, const std::vector<Vec3> &path, const std::vector<double> &radii, int sides)
{
    const int n = static_cast<int>(path.size());
    if (n < 2)
        return;
    // Parallel-transported frames keep the tube from twisting.
    std::vector<Vec3> tangent(n), side(n), other(n);
    for (int i = 0; i < n; ++i)
        tangent[i] = normalized(path[std::min(i + 1, n - 1)] - path[std::max(i - 1, 0)]);
    Vec3 ref = std::fabs(tangent[0].y) < 0.9 ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    for (int i = 0; i < n; ++i) {
        Vec3 s = ref - tangent[i] * dot(ref, tangent[i]);
        if (length(s) < 1e-9)
            s = cross(tangent[i], Vec3{0, 0, 1});
        side[i] = normalized(s);
        other[i] = normalized(cross(tangent[i], side[i]));
        ref = side[i];
    }
    auto ring = [&](int i, int j) {
        const double a = 2 * kPi * (j % sides) / sides;
        const Vec3 dir = side[i] * std::cos(a) + other[i] * std::sin(a);
        return SheetVertex{path[i] + dir * radii[i], dir};
    };
    sheet(w, n - 1, sides, ring);
    for (int end = 0; end < 2; ++end) {
        const int i = end == 0 ? 0 : n - 1;
        const int in = end == 0 ? 1 : n - 2;
        std::vector<Vec3> cap;
        for (int j = 0; j < sides; ++j)
            cap.push_back(ring(i, j).p);
        flat_face(w, cap, path[in]);
    }
}

} // namespace meshgen
