// What the data folder's programs offer beyond the show's twelve, decided
// once at set-up and handed to every frame plan (plan_frame).
//
// Our data folder carries faster programs: three fragment programs for the
// reduced-size passes (f_bloomdown, f_bloomblur, f_softhalo: the blooms at
// quarter size, the soft halo at half size) and a "passes" uniform in the
// sprite programs, with which one draw stands for a cloud's passes. A data
// folder without them (someone else's, or an older copy of ours) holds the
// twelve programs alone and gets the frame those expect: the combine pass
// reads the scene's depth on unit 1 and the random texture on unit 3, the
// blur pass the depth on unit 3, the blooms are what those two programs make
// themselves, and each cloud whose program declares no "passes" is drawn in
// its passes (five for the main cloud, two for the letters).
// Depends on: render/resource_numbers.h. Pure.
#pragma once

#include "render/resource_numbers.h"

#include <functional>
#include <vector>

struct ShaderFeatures {
    // Slots 8, 9 and 10 hold the reduced-size passes' programs.
    bool reduced_size_passes = true;
    // Sprite programs that declare "passes" (draw a cloud once).
    std::vector<ProgramSlot> one_draw_programs;

    bool draws_once(ProgramSlot program) const;

    // Our data folder: everything above (all four cloud programs draw once).
    static ShaderFeatures ours();
    // The twelve programs alone.
    static ShaderFeatures specified_only();
};

// The files of the reduced-size passes, built after the twelve programs
// only when all three are present (`exists` says whether a file is).
bool reduced_size_files_present(const std::function<bool(const char *path)> &exists);

// The features of the built programs: `built_reduced_size` whether the
// three programs were built, `declares` whether a slot's linked program has
// the active uniform `name`. The reduced-size passes count only when each
// program declares what its pass sets.
ShaderFeatures detect_shader_features(bool built_reduced_size,
                                      const std::function<bool(ProgramSlot, const char *name)> &declares);
