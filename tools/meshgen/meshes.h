// The four show meshes, each built from a seed into OBJ text.
//
// Conventions shared by all four: mesh y is up (the top-view pass looks
// down -y from above, with +z up on screen and +x to the screen's left);
// every mesh is split into "o" objects, since the show draws objects.
// Depends on: nothing. Limits: the text is built in memory (a few MB).
#pragma once

#include <cstdint>
#include <string>

namespace meshgen
{

struct MeshStats {
    int buildings = 0; // city only
};

// A city of a few thousand buildings over +-900 in x and z, 0..350 high.
std::string make_city(std::uint64_t seed, MeshStats *stats = nullptr);
// An insect seen from above, y 34..80, about +-220 in x and z.
std::string make_insect(std::uint64_t seed);
// Six leaves of different kinds, each one object within +-1.5 units.
std::string make_leaves(std::uint64_t seed);
// "VELLAMOR" in extruded block letters, one object per letter.
std::string make_title();

} // namespace meshgen
