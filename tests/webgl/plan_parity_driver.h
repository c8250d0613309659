// Both backends of the drawing interface are handed the same frame plans
// here: the real set-up steps (programs of the data folder, the show's
// textures and pictures, the render sets), then, at a few scene times, the
// glow's bloom, the combine pass, the highlights' bloom, the soft halo, the
// blur pass and the three clouds' uniforms and textures, each through the
// backend that drawing.h picks for the build. After each step the step's
// program is read back (plan_parity_readback.h) into one text record; the
// desktop and the GLES 3 builds of this file must write the same record.
// Runs with the data folder as the working directory and a context current.
#pragma once

#include <string>

std::string plan_parity_record();
