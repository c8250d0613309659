// The city: a street grid of blocks cut by two diagonal boulevards that
// meet at a round plaza, a winding river with quays and bridges, and
// districts of their own character, each one "o" object: a downtown of
// towers with setbacks around the plaza, mid-rise blocks around it, pitched
// houses further out, a park of trees, a dense old town and docks with
// sawtooth sheds and tanks south of the river.
//
// Depends on: solids.h, meshes.h. Limits: every lot gets its own random
// stream (seed and lot number), so changing one district leaves the others
// as they were. Heights stay within 0..350, x and z within +-900.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "meshes.h"
#include "solids.h"

namespace meshgen
{
namespace
{

constexpr double kHalf = 880; // lots stay inside +-kHalf
constexpr double kMaxHeight = 350;
constexpr double kRiverHalfWidth = 44;
constexpr double kPlazaRadius = 105;
constexpr double kBoulevardHalfWidth = 15;

enum District {
    kPlaza,
    kDowntown,
    kMidtown,
    kResidential,
    kPark,
    kOldTown,
    kDocks,
    kWaterfront,
    kDistrictCount
};
constexpr std::array<const char *, kDistrictCount> kNames = {"plaza", "downtown", "midtown", "residential",
                                                             "park",  "oldtown",  "docks",   "waterfront"};

double river_z(double x)
{
    return -330 + 90 * std::sin(x / 250 + 0.6) + 35 * std::sin(x / 110 + 2.0);
}

District classify(Vec3 c)
{
    if (std::hypot(c.x - 560, c.z - 540) < 215)
        return kPark;
    if (c.z < river_z(c.x))
        return c.x < -120 ? kOldTown : kDocks;
    const double r = std::hypot(c.x, c.z);
    if (r < 350)
        return kDowntown;
    if (r < 610)
        return kMidtown;
    return kResidential;
}

struct Lot {
    Polygon shape;
    District district;
    bool whole_block; // one building fills the block
};

// Blocks along one axis: [start, end] pairs separated by streets, every
// third street a wider avenue. Returns avenue centres too.
std::vector<std::pair<double, double>> bands(Rng &rng, double lo_block, double hi_block,
                                             std::vector<double> *avenues)
{
    std::vector<std::pair<double, double>> out;
    double x = -kHalf;
    int street = 0;
    while (x < kHalf - 40) {
        const double end = std::min(x + rng.range(lo_block, hi_block), kHalf);
        out.push_back({x, end});
        const bool avenue = (++street % 3) == 0;
        const double width = avenue ? 30 : 14;
        if (avenue && avenues)
            avenues->push_back(end + width / 2);
        x = end + width;
    }
    return out;
}

bool touches_river(const Polygon &p, double margin)
{
    bool above = false, below = false;
    std::vector<Vec3> samples = p;
    samples.push_back(centroid(p));
    for (size_t i = 0; i < p.size(); ++i)
        samples.push_back(lerp(p[i], p[(i + 1) % p.size()], 0.5));
    for (const Vec3 &q : samples) {
        const double d = q.z - river_z(q.x);
        if (std::fabs(d) < kRiverHalfWidth + margin)
            return true;
        (d > 0 ? above : below) = true;
    }
    return above && below;
}

bool touches_plaza(const Polygon &p)
{
    for (size_t i = 0; i < p.size(); ++i) {
        const Vec3 m = lerp(p[i], p[(i + 1) % p.size()], 0.5);
        if (std::hypot(p[i].x, p[i].z) < kPlazaRadius + 12 || std::hypot(m.x, m.z) < kPlazaRadius + 12)
            return true;
    }
    const Vec3 c = centroid(p);
    return std::hypot(c.x, c.z) < kPlazaRadius + 12;
}

// Cuts a lot by the two diagonal boulevards; pieces too small are dropped.
std::vector<Polygon> cut_by_boulevards(const Polygon &p, double min_area)
{
    std::vector<Polygon> pieces{p};
    const double s = std::sqrt(0.5);
    for (const auto &n : {std::array<double, 2>{s, s}, std::array<double, 2>{s, -s}}) {
        std::vector<Polygon> next;
        for (const Polygon &q : pieces) {
            for (double sign : {1.0, -1.0}) {
                Polygon part = clip(q, sign * n[0], sign * n[1], kBoulevardHalfWidth);
                if (part.size() >= 3 && area(part) >= min_area)
                    next.push_back(part);
            }
        }
        pieces = std::move(next);
    }
    return pieces;
}

// Splits a block into lots: one or two rows of frontages.
void subdivide(const Polygon &block, District d, Rng &rng, std::vector<Lot> &lots)
{
    const double x0 = block[0].x, z0 = block[0].z, x1 = block[2].x, z1 = block[2].z;
    const double w = x1 - x0, h = z1 - z0;
    if (d == kDowntown && rng.chance(0.3)) {
        lots.push_back({block, d, true});
        return;
    }
    double lo = 14, hi = 22;
    switch (d) {
    case kDowntown:
        lo = 26, hi = 48;
        break;
    case kMidtown:
        lo = 14, hi = 26;
        break;
    case kResidential:
        lo = 8.5, hi = 12.5;
        break;
    case kOldTown:
        lo = 6, hi = 9.5;
        break;
    case kDocks:
        lo = 30, hi = 62;
        break;
    default:
        break;
    }
    const bool along_x = w >= h;
    const double length = along_x ? w : h, depth = along_x ? h : w;
    const int rows = d == kOldTown ? (depth > 66 ? 3 : depth > 36 ? 2 : 1) : depth > 60 ? 2 : 1;
    for (int r = 0; r < rows; ++r) {
        double a = 0;
        while (a < length - 4) {
            double b = a + rng.range(lo, hi);
            if (length - b < lo * 0.6)
                b = length;
            const double d0 = depth * r / rows, d1 = depth * (r + 1) / rows;
            Polygon lot =
                along_x ? rect(x0 + a, z0 + d0, x0 + b, z0 + d1) : rect(x0 + d0, z0 + a, x0 + d1, z0 + b);
            lots.push_back({lot, d, false});
            a = b;
        }
    }
}

// Reorders a four-corner footprint so that edge 0-1 is a long edge.
Polygon long_edge_first(const Polygon &q)
{
    if (q.size() != 4)
        return q;
    if (length(q[1] - q[0]) >= length(q[2] - q[1]))
        return q;
    return {q[1], q[2], q[3], q[0]};
}

double min_extent(const Polygon &p)
{
    const Vec3 c = centroid(p);
    double m = 1e9;
    for (size_t i = 0; i < p.size(); ++i) {
        const Vec3 a = p[i], b = p[(i + 1) % p.size()];
        const Vec3 e = normalized(b - a);
        const Vec3 in{-e.z, 0, e.x};
        m = std::min(m, std::fabs(dot(in, c - a)));
    }
    return 2 * m;
}

// A rooftop plant room or a spire on top of a finished tower.
void crown(ObjWriter &w, const Polygon &top, double y, Rng &rng)
{
    const double room = kMaxHeight - y;
    if (room < 4)
        return;
    const double e = min_extent(top);
    if (y > 180 && rng.chance(0.45)) {
        const Polygon base = scaled(top, 0.35);
        const Vec3 c = centroid(base);
        pyramid(w, base, y, {c.x, std::min(y + rng.range(25, 60), kMaxHeight), c.z});
    } else if (e > 10) {
        // One draw per statement: argument order is the compiler's choice, and
        // the bytes must not depend on it.
        const double share = rng.range(0.3, 0.5);
        const double rise = std::min(room, rng.range(3, 8));
        prism(w, scaled(top, share), y, y + rise);
    }
}

void tower(ObjWriter &w, Polygon shape, double height, Rng &rng)
{
    height = std::min(height, kMaxHeight - 10);
    const int tiers = height > 200 ? 3 + rng.below(2) : height > 90 ? 2 + rng.below(2) : 1 + rng.below(2);
    double y = 0;
    for (int t = 0; t < tiers; ++t) {
        const double share = t == tiers - 1 ? 1.0 : rng.range(0.45, 0.65);
        const double top = y + (height - y) * share;
        prism(w, shape, y, top);
        y = top;
        if (t == tiers - 1)
            break;
        const Polygon next = inset(shape, min_extent(shape) * rng.range(0.08, 0.16));
        if (next.size() < 3 || min_extent(next) < 8)
            break;
        shape = next;
    }
    crown(w, shape, y, rng);
}

void house(ObjWriter &w, const Polygon &lot, double wall, double rise, Rng &rng)
{
    prism(w, lot, 0, wall);
    if (lot.size() == 4 && rng.chance(0.85))
        gable(w, long_edge_first(lot), wall, rise);
    else if (lot.size() >= 3) {
        const Vec3 c = centroid(lot);
        pyramid(w, lot, wall, {c.x, wall + rise, c.z});
    }
}

// A shed with a sawtooth roof: teeth across the long edge.
void shed(ObjWriter &w, const Polygon &lot, Rng &rng)
{
    const double wall = rng.range(9, 17);
    prism(w, lot, 0, wall);
    if (lot.size() != 4)
        return;
    const Polygon q = long_edge_first(lot);
    const int teeth = std::max(2, static_cast<int>(length(q[1] - q[0]) / 12));
    const double rise = rng.range(4, 6);
    for (int t = 0; t < teeth; ++t) {
        const double a = static_cast<double>(t) / teeth, b = static_cast<double>(t + 1) / teeth;
        const Vec3 p0 = lerp(q[0], q[1], a), p1 = lerp(q[0], q[1], b);
        const Vec3 p3 = lerp(q[3], q[2], a), p2 = lerp(q[3], q[2], b);
        const Vec3 up{0, wall + rise, 0}, base{0, wall, 0};
        const Vec3 inside = lerp(lerp(p0, p2, 0.5), lerp(p1, p2, 0.5), 0.5) + Vec3{0, wall + rise * 0.3, 0};
        flat_face(w, {p0 + base, p3 + base, p2 + up, p1 + up}, inside); // slope
        flat_face(w, {p1 + base, p1 + up, p2 + up, p2 + base}, inside); // glazing
        flat_face(w, {p0 + base, p1 + base, p1 + up}, inside);
        flat_face(w, {p3 + base, p2 + up, p2 + base}, inside);
    }
}

Polygon circle(Vec3 c, double r, int n)
{
    Polygon p;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * kPi * i / n;
        p.push_back({c.x + r * std::cos(a), 0, c.z + r * std::sin(a)});
    }
    return p;
}

void tree(ObjWriter &w, Vec3 at, Rng &rng)
{
    const double r = rng.range(4.5, 8.5), mid = rng.range(9, 14);
    const Polygon ring = circle(at, r, 6);
    pyramid(w, ring, mid, {at.x, mid + r * rng.range(1.0, 1.5), at.z});
    pyramid(w, ring, mid, {at.x, mid - r * 0.9, at.z});
}

void tanks(ObjWriter &w, const Polygon &lot, Rng &rng)
{
    const Vec3 c = centroid(lot);
    const double r = std::min(min_extent(lot) * 0.42, 22.0);
    const double h = rng.range(14, 28);
    prism(w, circle(c, r, 16), 0, h);
    pyramid(w, circle(c, r, 16), h, {c.x, h + r * 0.25, c.z});
}

void build_lot(ObjWriter &w, const Lot &lot, Rng &rng, int &buildings)
{
    const Vec3 c = centroid(lot.shape);
    const double r = std::hypot(c.x, c.z);
    ++buildings;
    switch (lot.district) {
    case kDowntown: {
        const double peak = 100 + 260 * std::exp(-(r * r) / (300.0 * 300.0));
        const double h = peak * (0.45 + 0.55 * std::sqrt(rng.unit())) * (lot.whole_block ? 1.0 : 0.92);
        tower(w, inset(lot.shape, lot.whole_block ? 5 : 2), h, rng);
        break;
    }
    case kMidtown: {
        const double base = rng.range(30, 70);
        const double h = base + 60 * std::exp(-((r - 350) * (r - 350)) / (140.0 * 140.0)) * rng.unit();
        tower(w, inset(lot.shape, 1.5), h, rng);
        break;
    }
    case kResidential: {
        const Polygon body = inset(lot.shape, rng.range(1.2, 2.4));
        if (body.size() < 3 || min_extent(body) < 4) {
            --buildings;
            break;
        }
        const double wall = rng.range(6, 12);
        house(w, body, wall, rng.range(3, 6), rng);
        break;
    }
    case kOldTown: {
        if (rng.chance(0.012)) { // a church tower
            const Polygon base = scaled(inset(lot.shape, 1), 0.9);
            prism(w, base, 0, 55);
            pyramid(w, base, 55, {c.x, 88, c.z});
            break;
        }
        // Old houses stand a little askew: turn each footprint a few degrees.
        const double turn = rng.range(-0.1, 0.1);
        Polygon body = inset(lot.shape, 0.7);
        for (Vec3 &q : body) {
            const Vec3 d = q - c;
            q = c + Vec3{d.x * std::cos(turn) - d.z * std::sin(turn), 0,
                         d.x * std::sin(turn) + d.z * std::cos(turn)};
        }
        const double wall = rng.range(10, 22);
        house(w, body, wall, rng.range(4, 7), rng);
        break;
    }
    case kDocks:
        if (rng.chance(0.25))
            tanks(w, lot.shape, rng);
        else
            shed(w, inset(lot.shape, 3), rng);
        break;
    case kPark: {
        --buildings;
        const double a = area(lot.shape);
        const int count = static_cast<int>(a / 170);
        const double x0 = lot.shape[0].x, z0 = lot.shape[0].z;
        const double x1 = lot.shape[2].x, z1 = lot.shape[2].z;
        for (int i = 0; i < count; ++i) {
            const Vec3 at{rng.range(x0 + 6, x1 - 6), 0, rng.range(z0 + 6, z1 - 6)};
            // A lawn in the middle of the park stays open.
            if (std::hypot(at.x - 560, at.z - 540) < 70)
                continue;
            tree(w, at, rng);
        }
        break;
    }
    default:
        break;
    }
}

void build_plaza(ObjWriter &w)
{
    // Paving ring, a stepped base, an obelisk and a ring of columns.
    const int n = 48;
    for (int i = 0; i < n; ++i) {
        const double a0 = 2 * kPi * i / n, a1 = 2 * kPi * (i + 1) / n;
        const double r0 = kPlazaRadius - 10, r1 = kPlazaRadius - 2;
        Polygon seg = {{r0 * std::cos(a0), 0, r0 * std::sin(a0)},
                       {r1 * std::cos(a0), 0, r1 * std::sin(a0)},
                       {r1 * std::cos(a1), 0, r1 * std::sin(a1)},
                       {r0 * std::cos(a1), 0, r0 * std::sin(a1)}};
        prism(w, seg, 0, 2);
    }
    const Vec3 o{0, 0, 0};
    prism(w, circle(o, 34, 8), 0, 2);
    prism(w, circle(o, 26, 8), 2, 4);
    prism(w, circle(o, 18, 8), 4, 6);
    prism(w, rect(-7, -7, 7, 7), 6, 120);
    pyramid(w, rect(-7, -7, 7, 7), 120, {0, 138, 0});
    for (int i = 0; i < 16; ++i) {
        const double a = 2 * kPi * (i + 0.5) / 16;
        prism(w, circle({72 * std::cos(a), 0, 72 * std::sin(a)}, 3, 8), 0, 22);
    }
}

void build_waterfront(ObjWriter &w, const std::vector<double> &avenues, Rng &rng)
{
    // Quay walls on both banks.
    const double step = 18;
    for (double x = -900; x < 900 - 1e-9; x += step) {
        const double xa = x, xb = std::min(x + step, 900.0);
        for (double side : {-1.0, 1.0}) {
            const double e0 = kRiverHalfWidth * side, e1 = (kRiverHalfWidth + 4) * side;
            Polygon wall = {{xa, 0, river_z(xa) + e0},
                            {xb, 0, river_z(xb) + e0},
                            {xb, 0, river_z(xb) + e1},
                            {xa, 0, river_z(xa) + e1}};
            prism(w, wall, 0, 6);
        }
    }
    // Bridges carry the avenues across.
    for (double x : avenues) {
        if (x < -860 || x > 860)
            continue;
        const double zc = river_z(x);
        prism(w, rect(x - 13, zc - kRiverHalfWidth - 10, x + 13, zc + kRiverHalfWidth + 10), 6, 10);
        for (double side : {-1.0, 1.0})
            prism(w, rect(x - 13, zc + side * 14 - 3, x + 13, zc + side * 14 + 3), 0, 6);
    }
    // Barges moored along the banks, turned with the river.
    for (int i = 0; i < 10; ++i) {
        const double x = -800 + 170 * i + rng.range(-40, 40);
        const double dz = river_z(x + 1) - river_z(x - 1);
        const Vec3 along = normalized({2, 0, dz}), across{-along.z, 0, along.x};
        const double side = (i % 2 ? 1 : -1) * (kRiverHalfWidth - 12);
        const Vec3 c{x, 0, river_z(x)};
        const Vec3 m = c + across * side;
        const double half_len = rng.range(18, 30), half_w = 6;
        Polygon hull = {m - along * half_len - across * half_w, m + along * half_len - across * half_w,
                        m + along * (half_len + 6), m + along * half_len + across * half_w,
                        m - along * half_len + across * half_w};
        prism(w, hull, 0, 4);
        prism(w, scaled(hull, 0.35), 4, 8);
    }
}

} // namespace

std::string make_city(std::uint64_t seed, MeshStats *stats)
{
    Rng layout(seed);
    std::vector<double> avenues_x;
    const auto xs = bands(layout, 52, 98, &avenues_x);
    const auto zs = bands(layout, 52, 98, nullptr);

    std::vector<Lot> lots;
    for (const auto &bx : xs) {
        for (const auto &bz : zs) {
            const Polygon block = rect(bx.first, bz.first, bx.second, bz.second);
            const District d = classify(centroid(block));
            std::vector<Lot> mine;
            subdivide(block, d, layout, mine);
            for (const Lot &lot : mine) {
                if (touches_river(lot.shape, 6) || touches_plaza(lot.shape))
                    continue;
                for (Polygon &piece : cut_by_boulevards(lot.shape, lot.district == kPark ? 400 : 60)) {
                    if (lot.district == kPark && piece.size() != 4)
                        continue;
                    lots.push_back({std::move(piece), lot.district, lot.whole_block});
                }
            }
        }
    }

    ObjWriter w("thecity.obj: made by meshgen, seed " + std::to_string(seed) +
                    "; y is up, units are metres-ish; one object per district",
                1, false);
    int buildings = 0;
    for (int d = 0; d < kDistrictCount; ++d) {
        w.object(kNames[d]);
        if (d == kPlaza)
            build_plaza(w);
        if (d == kWaterfront) {
            Rng rng(seed * 1000003 + 77);
            build_waterfront(w, avenues_x, rng);
        }
        for (size_t i = 0; i < lots.size(); ++i) {
            if (lots[i].district != d)
                continue;
            Rng rng(seed * 0x100000001B3ull + i * 7919 + 1);
            build_lot(w, lots[i], rng, buildings);
        }
    }
    if (stats)
        stats->buildings = buildings;
    return w.text();
}

} // namespace meshgen
