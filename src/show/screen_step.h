// One screen-space step of a frame as plain values: the render set it
// draws into (how many outputs, at what size), the program, every uniform
// by name and value in the order they are set, the texture on each unit
// (and the filter it is read with), and the textures the result is
// resolved into. The blooms and the soft blur's halo are lists of these;
// the combine and blur passes hold one each for their program's inputs.
// Depends on: render/resource_numbers.h, render/renderer.h (enums). Pure.
#pragma once

#include "render/renderer.h"
#include "render/resource_numbers.h"

#include <optional>
#include <string>
#include <vector>

struct UniformSetting {
    enum Kind { scalar, pair, array } kind = scalar;
    std::string name;
    std::vector<float> values; // one, two, or the array's elements
};

struct ScreenSampler {
    int unit = 0;
    std::string name;
    TextureNumber texture;
    std::optional<TextureFilter> filter; // set right after binding it
};

struct ScreenStep {
    RenderSetNumber set;
    int outputs = 1;
    int width = 0, height = 0;
    ProgramSlot program;
    std::vector<UniformSetting> uniforms;
    std::vector<ScreenSampler> textures;
    std::vector<TextureNumber> resolved_into; // colour attachment k receives output k
    // Set 0's first colour attachment afterwards (a step drawn in set 0
    // puts the scene's image back, as the set-up leaves it).
    std::optional<TextureNumber> reattach_scene_colour;

    // The values of uniform `name` as last set; empty when it is not set.
    std::vector<float> uniform(const std::string &name) const;
    // The texture on `unit`; nothing when no texture is bound there.
    std::optional<TextureNumber> texture_on(int unit) const;
};
