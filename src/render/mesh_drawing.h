// Drawing an ObjMesh: its objects go to OpenGL as client-side arrays straight
// from the mesh's 60-byte interleaved vertices, one indexed instanced draw
// (one instance) per object. The mesh owns no GL objects.
// Depends on: assets/mesh (ObjMesh), GL through GLEW (GL_EXT_draw_instanced).
// Limits: uses whatever program, textures and matrices the caller has set;
//   texture coordinates go to the client-active texture unit. Expects no
//   buffer object bound to GL_ARRAY_BUFFER or GL_ELEMENT_ARRAY_BUFFER: the
//   pointers are client memory.
#pragma once

#include "assets/mesh/obj_mesh.h"

#include <cstdint>

// object >= 0 draws that object, a negative number draws every object in
// order; a number beyond the last object, or a mesh that was never loaded or
// has no "o" line, draws nothing. Leaves the vertex, normal and texture
// coordinate arrays disabled, as they must be on entry.
void draw_objects(const ObjMesh &mesh, std::int32_t object);

// The triangle range [first, end) of objects to draw for `object`, from the
// number of object_starts entries: pure arithmetic, tested without GL.
struct ObjectRange {
    std::int32_t first = 0;
    std::int32_t end = 0;
};
ObjectRange object_range(std::int32_t object, std::size_t start_count);
