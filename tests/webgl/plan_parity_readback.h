// What a program holds after a step, as canonical text lines, one per
// active uniform, sorted by name:
//   uniform NAME v...            a float, vector or array (every element)
//   sampler NAME unit U texture N  the unit the sampler reads and the show's
//                                  texture number bound there for the
//                                  sampler's target (GL names are mapped back
//                                  through the texture table: they differ
//                                  between the backends)
//   fixed NAME v...              a matrix (or the point size) the program
//                                  reads from the fixed-function state: on
//                                  GLES 3 the backend's stand-in uniforms as
//                                  the program holds them; on GL 2 the same
//                                  names computed from GL's own matrix state
// Compiled once against GL 2 (GLEW) and once against GLES 3
// (VELLAMOR_PARITY_GLES).
#pragma once

#include <string>

class TextureTable;

std::string program_state_record(unsigned program, const TextureTable &textures);
