// Solid building blocks written through an ObjWriter: flat-shaded prisms,
// pyramids and gable roofs for architecture, smooth ellipsoids, tubes and
// height-field sheets for organic shapes.
//
// Every face is turned to face away from a reference point inside the
// solid, so callers need not care about winding (counter-clockwise seen
// from outside, OpenGL's default front face).
// Depends on: obj_writer.h. Limits: footprints must be convex; the bottom
// faces of ground-standing solids are left out (nothing sees them).
#pragma once

#include <functional>
#include <vector>

#include "obj_writer.h"

namespace meshgen
{

using Polygon = std::vector<Vec3>; // points in the x-z plane (y ignored)

// One flat face with one normal, turned away from `inside`.
void flat_face(ObjWriter &w, const std::vector<Vec3> &pts, Vec3 inside);

// Vertical prism over a convex footprint from y0 to y1.
void prism(ObjWriter &w, const Polygon &footprint, double y0, double y1, bool bottom = false);
// Pyramid from the footprint at height y0 up to `apex`.
void pyramid(ObjWriter &w, const Polygon &footprint, double y0, Vec3 apex);
// Gable roof over a four-corner footprint; the ridge runs parallel to the
// edge p0-p1, `rise` above y0.
void gable(ObjWriter &w, const Polygon &quad, double y0, double rise);

// Polygon helpers.
Polygon rect(double x0, double z0, double x1, double z1);
Polygon inset(const Polygon &p, double amount);  // towards the centroid
Polygon scaled(const Polygon &p, double factor); // about the centroid
Vec3 centroid(const Polygon &p);
double area(const Polygon &p);
// Keeps the part of `p` where dot((x, z), n) >= d (n in the x-z plane).
Polygon clip(const Polygon &p, double nx, double nz, double d);

// A smooth sheet: point(i, j) and normal(i, j) on a (rows+1) x (cols+1)
// grid; faces are turned to agree with the given normals.
struct SheetVertex {
    Vec3 p;
    Vec3 n;
    double u = 0, v = 0;
};
void sheet(ObjWriter &w, int rows, int cols, const std::function<SheetVertex(int, int)> &at,
           bool texcoords = false);

void ellipsoid(ObjWriter &w, Vec3 center, Vec3 radii, int slices, int stacks);
// A tube along `path` with one radius per point, closed at both ends.
void tube(ObjWriter &w, const std::vector<Vec3> &path, const std::vector<double> &radii, int sides);

} // namespace meshgen
