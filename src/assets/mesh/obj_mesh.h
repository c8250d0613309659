// Placeholder: the mesh data model arrives with the OBJ loader.
#pragma once
struct ObjMesh {
    bool loaded = false;
};
