// OBJ text writer: fixed printf formats, de-duplication on printed values.
// Depends on: obj_writer.h, the C library's snprintf.
#include "obj_writer.h"

#include <cstdio>
#include <vector>

namespace meshgen
{

ObjWriter::ObjWriter(std::string_view header, int position_decimals, bool with_texcoords)
    : decimals_(position_decimals), with_texcoords_(with_texcoords)
{
    comment(header);
}

std::string ObjWriter::format(double value, int decimals) const
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string s(buf);
    // "-0.00" and "0.00" are the same number: keep one spelling.
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    return s;
}

void ObjWriter::comment(std::string_view text)
{
    text_ += "# ";
    text_ += text;
    text_ += '\n';
}

void ObjWriter::object(std::string_view name)
{
    text_ += "o ";
    text_ += name;
    text_ += '\n';
    ++objects_;
}

int ObjWriter::position(Vec3 p)
{
    const std::string key =
        format(p.x, decimals_) + ' ' + format(p.y, decimals_) + ' ' + format(p.z, decimals_);
    auto [it, added] = position_index_.try_emplace(key, positions_ + 1);
    if (added) {
        ++positions_;
        text_ += "v " + key + '\n';
    }
    return it->second;
}

int ObjWriter::normal(Vec3 n)
{
    n = normalized(n);
    const std::string key = format(n.x, 4) + ' ' + format(n.y, 4) + ' ' + format(n.z, 4);
    auto [it, added] = normal_index_.try_emplace(key, normals_ + 1);
    if (added) {
        ++normals_;
        text_ += "vn " + key + '\n';
    }
    return it->second;
}

int ObjWriter::texcoord(double u, double v)
{
    const std::string key = format(u, 4) + ' ' + format(v, 4);
    auto [it, added] = texcoord_index_.try_emplace(key, texcoords_ + 1);
    if (added) {
        ++texcoords_;
        text_ += "vt " + key + '\n';
    }
    return it->second;
}

void ObjWriter::face(std::span<const Corner> corners)
{
    // Corners that collapsed onto the same printed position (a pointed tip)
    // would only give zero-area triangles: drop the repeats.
    std::vector<Corner> kept;
    for (const Corner &c : corners)
        if (kept.empty() || kept.back().v != c.v)
            kept.push_back(c);
    while (kept.size() > 1 && kept.back().v == kept.front().v)
        kept.pop_back();
    if (kept.size() < 3)
        return;
    text_ += 'f';
    char buf[48];
    for (const Corner &c : kept) {
        if (with_texcoords_)
            std::snprintf(buf, sizeof buf, " %d/%d/%d", c.v, c.vt, c.vn);
        else
            std::snprintf(buf, sizeof buf, " %d//%d", c.v, c.vn);
        text_ += buf;
    }
    text_ += '\n';
    ++faces_;
}

} // namespace meshgen
