// The OBJ loader behind ObjMesh::load_text, with its one switch exposed for
// tests: reuse_faces (what load_text uses) lets pass 2 take the faces pass 1
// read instead of reading them again and resolving each triangle on its own.
// Both ways give the same mesh; the second is the plain reference.
// Depends on: obj_mesh.h.
#pragma once

#include "assets/mesh/obj_mesh.h"

#include <string_view>

namespace obj_loader
{

void load_text(ObjMesh &mesh, std::string_view text, std::string_view file_name, bool recompute_normals,
               bool reuse_faces);

} // namespace obj_loader
