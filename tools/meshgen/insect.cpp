// The insect: head with compound eyes and jointed antennae, a two-part
// thorax, a tapering abdomen of nine overlapping segments, six legs of
// coxa, femur, tibia and tarsus with ball joints, and four spread wings
// whose membranes carry a raised net of veins.
//
// Seen from above it lies head towards +z, wings spread along x. The pass
// places it with translate (0, -108, 0) and scale 3.2, so its y range of
// 34..80 puts the feet at the ground and the wings highest.
// Depends on: solids.h, meshes.h. Limits: the seed only moves the cross
// veins; the body plan is fixed.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "meshes.h"
#include "solids.h"

namespace meshgen
{
namespace
{

Vec3 mirror(Vec3 p, double side)
{
    return {p.x * side, p.y, p.z};
}

struct WingPlan {
    double span;   // tip x
    double root_z; // chord centre at the root
    double sweep;  // chord centre shift at the tip
    double chord;  // largest half chord
    double front;  // +1 when the leading edge faces +z
    double lift;   // height offset, keeps overlapping wings apart
};

constexpr double kWingRootX = 12;
constexpr double kWingRootY = 74;
constexpr double kMembrane = 0.8; // thickness between the two faces

// Point on the upper membrane for span fraction s and chord position c.
Vec3 wing_point(const WingPlan &p, double side, double s, double c)
{
    const double x = kWingRootX + (p.span - kWingRootX) * s;
    const double half = p.chord * std::sqrt(std::sin(kPi * (0.06 + 0.94 * s))) * (1 - 0.2 * s);
    const double z = p.root_z + p.sweep * s * s + p.front * c * half;
    const double y = kWingRootY + p.lift + 2.5 * s + 1.2 * (1 - c * c);
    return mirror({x, y, z}, side);
}

Vec3 wing_normal(const WingPlan &p, double side, double s, double c)
{
    const double e = 1e-3;
    const Vec3 ds =
        wing_point(p, side, std::min(s + e, 1.0), c) - wing_point(p, side, std::max(s - e, 0.0), c);
    const Vec3 dc =
        wing_point(p, side, s, std::min(c + e, 1.0)) - wing_point(p, side, s, std::max(c - e, -1.0));
    Vec3 n = normalized(cross(ds, dc));
    if (n.y < 0)
        n = n * -1.0;
    return n;
}

void wing(ObjWriter &w, const WingPlan &p, double side, Rng &rng)
{
    const int rows = 36, cols = 14;
    for (int face = 0; face < 2; ++face) {
        const double drop = face == 0 ? 0 : kMembrane;
        const double flip = face == 0 ? 1 : -1;
        sheet(w, rows, cols, [&](int i, int j) {
            const double s = static_cast<double>(i) / rows, c = -1 + 2.0 * j / cols;
            SheetVertex v;
            v.p = wing_point(p, side, s, c) - Vec3{0, drop, 0};
            v.n = wing_normal(p, side, s, c) * flip;
            return v;
        });
    }
    // Longitudinal veins converge towards the tip; cross veins join
    // neighbours at irregular places.
    const double lanes[] = {0.93, 0.62, 0.3, -0.02, -0.36, -0.7};
    auto vein_at = [&](double s, double c) { return wing_point(p, side, s, c) + Vec3{0, 0.2, 0}; };
    for (double c : lanes) {
        std::vector<Vec3> path;
        std::vector<double> radii;
        const int n = 18;
        const double end = 0.96 - 0.1 * std::fabs(c);
        for (int k = 0; k <= n; ++k) {
            const double s = 0.02 + (end - 0.02) * k / n;
            path.push_back(vein_at(s, c));
            radii.push_back(1.15 - 0.6 * s);
        }
        tube(w, path, radii, 4);
    }
    for (size_t l = 0; l + 1 < std::size(lanes); ++l) {
        double s = rng.range(0.05, 0.12);
        while (s < 0.85) {
            const double jitter = rng.range(-0.02, 0.02);
            tube(w, {vein_at(s, lanes[l]), vein_at(s + jitter, lanes[l + 1])}, {0.7, 0.7}, 4);
            s += rng.range(0.07, 0.13);
        }
    }
}

void leg(ObjWriter &w, const std::vector<Vec3> &joints, double side)
{
    // joints: body, trochanter, knee, ankle, foot
    const double radius[] = {6.0, 5.5, 3.6, 2.0};
    const double ends[] = {5.5, 4.2, 2.6, 1.5};
    for (size_t k = 0; k + 1 < joints.size(); ++k) {
        const Vec3 a = mirror(joints[k], side), b = mirror(joints[k + 1], side);
        if (k == 3) {
            // The tarsus: three short beads ending in a claw.
            for (int t = 0; t < 3; ++t) {
                const Vec3 p0 = lerp(a, b, t / 3.0), p1 = lerp(a, b, (t + 0.92) / 3.0);
                tube(w, {p0, p1}, {ends[k] + 0.4, ends[k]}, 6);
            }
            continue;
        }
        tube(w, {a, lerp(a, b, 0.5), b}, {radius[k], (radius[k] + ends[k]) / 2 + 0.4, ends[k]}, 7);
        const double ball = radius[k + 1] + 0.8;
        ellipsoid(w, b, {ball, ball, ball}, 10, 6);
    }
}

} // namespace

std::string make_insect(std::uint64_t seed)
{
    Rng rng(seed * 31 + 5);
    ObjWriter w("vannel.obj: made by meshgen, seed " + std::to_string(seed) +
                    "; an insect, head towards +z, y 34..80",
                2, false);

    w.object("head");
    ellipsoid(w, {0, 60, 152}, {25, 16, 22}, 24, 12);
    for (double side : {-1.0, 1.0}) {
        ellipsoid(w, mirror({19, 63, 160}, side), {11, 10, 13}, 16, 10);
        // Mandibles and jointed antennae.
        tube(w, {mirror({8, 52, 168}, side), mirror({11, 51, 178}, side), mirror({5, 50, 186}, side)},
             {3.5, 2.8, 1.2}, 6);
        std::vector<Vec3> path;
        std::vector<double> radii;
        for (int k = 0; k <= 14; ++k) {
            const double t = k / 14.0;
            path.push_back(mirror({8 + 72 * t * t, 70 + 5 * std::sin(t * kPi), 168 + 48 * t}, side));
            radii.push_back(k % 2 ? 1.6 : 2.3); // ringed: one bead per segment
        }
        tube(w, path, radii, 6);
    }

    w.object("thorax");
    ellipsoid(w, {0, 59, 120}, {21, 15, 18}, 24, 12);
    ellipsoid(w, {0, 58, 84}, {29, 18, 30}, 28, 14);
    ellipsoid(w, {0, 57, 56}, {24, 16, 16}, 24, 12);

    w.object("abdomen");
    for (int k = 0; k < 9; ++k) {
        const double rx = 25 - 1.8 * k;
        ellipsoid(w, {0, 56, 36 - 29.0 * k}, {rx, 0.65 * rx + 3, 19 - 0.3 * k}, 24, 12);
    }
    for (double side : {-1.0, 1.0})
        tube(w, {mirror({3, 56, -205}, side), mirror({8, 57, -214}, side)}, {2.2, 1.0}, 6);

    w.object("legs");
    for (double side : {-1.0, 1.0}) {
        leg(w, {{14, 50, 112}, {30, 52, 124}, {78, 71, 158}, {116, 52, 192}, {130, 36.2, 212}}, side);
        leg(w, {{18, 49, 88}, {36, 51, 90}, {94, 71, 96}, {158, 53, 84}, {188, 36.2, 74}}, side);
        leg(w, {{16, 49, 64}, {32, 51, 56}, {90, 71, 20}, {138, 52, -56}, {156, 36.2, -102}}, side);
    }

    const WingPlan fore{214, 100, 28, 30, 1, 0};
    const WingPlan hind{200, 60, -34, 36, 1, -1.8};
    w.object("forewings");
    for (double side : {-1.0, 1.0})
        wing(w, fore, side, rng);
    w.object("hindwings");
    for (double side : {-1.0, 1.0})
        wing(w, hind, side, rng);
    return w.text();
}

} // namespace meshgen
