// Streams a Wavefront OBJ text with fixed number formats, so the same
// geometry always gives the same bytes.
//
// Positions, texture coordinates and normals are de-duplicated on their
// printed form; indices are 1-based and global, and every "v", "vt" and
// "vn" line is written before the first face that uses it. Faces are either
// "v//vn" (no texture coordinates) or "v/vt/vn", chosen once per file.
// Depends on: geometry.h. Limits: object names must be one word; a line
// stays far below the 255 characters a token reader allows.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>

#include "geometry.h"

namespace meshgen
{

struct Corner {
    int v = 0;
    int vt = 0; // ignored in files without texture coordinates
    int vn = 0;
};

class ObjWriter
{
  public:
    ObjWriter(std::string_view header, int position_decimals, bool with_texcoords);

    // Starts the object `name` (one word); its faces follow.
    void object(std::string_view name);
    int position(Vec3 p);
    int normal(Vec3 n); // normalised here
    int texcoord(double u, double v);
    // A convex or fan-able polygon, wound counter-clockwise seen from the
    // side its normals face.
    void face(std::span<const Corner> corners);
    void comment(std::string_view text);

    const std::string &text() const { return text_; }
    int position_count() const { return positions_; }
    int face_count() const { return faces_; }
    int object_count() const { return objects_; }

  private:
    std::string format(double value, int decimals) const;

    std::string text_;
    int decimals_;
    bool with_texcoords_;
    int positions_ = 0, normals_ = 0, texcoords_ = 0, faces_ = 0, objects_ = 0;
    std::map<std::string, int> position_index_, normal_index_, texcoord_index_;
};

} // namespace meshgen
