// The title "VELLAMOR" in extruded block letters, one object per letter.
//
// Each letter is drawn as a few convex strokes (bars, slanted legs, ring
// segments) on a 100-unit cap height and extruded 24 units up (+y). The
// text lies in the x-z plane and reads left to right from above the way
// the top-view pass looks down: advancing towards -x, letter tops at +z.
// Depends on: solids.h, meshes.h. Limits: only the letters of the title.
#include <cmath>
#include <string>
#include <vector>

#include "meshes.h"
#include "solids.h"

namespace meshgen
{
namespace
{

constexpr double kStroke = 22;
constexpr double kDepth = 24;
constexpr double kGap = 16;

using Strokes = std::vector<std::vector<std::pair<double, double>>>; // (u, v) quads

Strokes bar(double u0, double v0, double u1, double v1)
{
    return {{{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}}};
}

void add(Strokes &to, const Strokes &more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// Quads between matching points of an outer and an inner outline.
Strokes ring(const std::vector<std::pair<double, double>> &outer,
             const std::vector<std::pair<double, double>> &inner, bool closed)
{
    Strokes out;
    const size_t n = outer.size();
    for (size_t i = 0; i + (closed ? 0 : 1) < n; ++i) {
        const size_t j = (i + 1) % n;
        out.push_back({outer[i], outer[j], inner[j], inner[i]});
    }
    return out;
}

Strokes letter(char c, double &width)
{
    const double s = kStroke;
    Strokes g;
    switch (c) {
    case 'V':
        width = 78;
        g.push_back({{0, 100}, {s + 2, 100}, {width / 2 + s / 2, 0}, {width / 2 - s / 2, 0}});
        g.push_back({{width - s - 2, 100}, {width, 100}, {width / 2 + s / 2, 0}, {width / 2 - s / 2, 0}});
        break;
    case 'A':
        width = 78;
        g.push_back({{0, 0}, {s + 2, 0}, {width / 2 + s / 2, 100}, {width / 2 - s / 2, 100}});
        g.push_back({{width - s - 2, 0}, {width, 0}, {width / 2 + s / 2, 100}, {width / 2 - s / 2, 100}});
        add(g, bar(16, 24, width - 16, 24 + s * 0.8));
        break;
    case 'E':
        width = 62;
        add(g, bar(0, 0, s, 100));
        add(g, bar(0, 100 - s, width, 100));
        add(g, bar(0, 50 - s / 2, width * 0.85, 50 + s / 2));
        add(g, bar(0, 0, width, s));
        break;
    case 'L':
        width = 58;
        add(g, bar(0, 0, s, 100));
        add(g, bar(0, 0, width, s));
        break;
    case 'M':
        width = 90;
        add(g, bar(0, 0, s, 100));
        add(g, bar(width - s, 0, width, 100));
        g.push_back({{0, 100}, {s, 100}, {width / 2 + s / 2, 34}, {width / 2 - s / 2, 34}});
        g.push_back({{width - s, 100}, {width, 100}, {width / 2 + s / 2, 34}, {width / 2 - s / 2, 34}});
        break;
    case 'O': {
        width = 78;
        const double w = width, k = 24, ki = 12;
        const std::vector<std::pair<double, double>> outer = {
            {k, 0}, {w - k, 0}, {w, k}, {w, 100 - k}, {w - k, 100}, {k, 100}, {0, 100 - k}, {0, k}};
        const std::vector<std::pair<double, double>> inner = {
            {s + ki, s},           {w - s - ki, s},   {w - s, s + ki},   {w - s, 100 - s - ki},
            {w - s - ki, 100 - s}, {s + ki, 100 - s}, {s, 100 - s - ki}, {s, s + ki}};
        add(g, ring(outer, inner, true));
        break;
    }
    case 'R': {
        width = 74;
        const double w = width;
        add(g, bar(0, 0, s, 100));
        add(g, ring({{s / 2, 100}, {w - 20, 100}, {w, 80}, {w, 64}, {w - 20, 42}, {s / 2, 42}},
                    {{s / 2, 100 - s},
                     {w - 28, 100 - s},
                     {w - s, 74},
                     {w - s, 70},
                     {w - 28, 42 + s * 0.8},
                     {s / 2, 42 + s * 0.8}},
                    false));
        g.push_back({{24, 48}, {24 + s + 4, 48}, {w, 0}, {w - s - 4, 0}});
        break;
    }
    default:
        width = 0;
        break;
    }
    return g;
}

} // namespace

std::string make_title()
{
    const std::string text = "VELLAMOR";
    std::vector<Strokes> glyphs;
    std::vector<double> widths;
    double total = 0;
    for (char c : text) {
        double w = 0;
        glyphs.push_back(letter(c, w));
        widths.push_back(w);
        total += w;
    }
    total += kGap * static_cast<double>(text.size() - 1);

    ObjWriter out("title.obj: made by meshgen; VELLAMOR in block letters, read from above (+y)", 2, false);
    double pen = -total / 2;
    for (size_t i = 0; i < text.size(); ++i) {
        out.object("letter_" + std::to_string(i + 1) + "_" + text[i]);
        for (const auto &quad : glyphs[i]) {
            Polygon footprint;
            for (const auto &[u, v] : quad)
                footprint.push_back({-(pen + u), 0, v - 50});
            prism(out, footprint, 0, kDepth, true);
        }
        pen += widths[i] + kGap;
    }
    return out.text();
}

} // namespace meshgen
