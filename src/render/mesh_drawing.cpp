// draw_objects: per object, enable and point the client arrays that the mesh
// has, issue glDrawElementsInstancedEXT with one instance, then disable them
// again (normal, vertex, texture coordinate, in that order).
// Depends on: mesh_drawing.h, GLEW.
#include "render/mesh_drawing.h"

#include <GL/glew.h>

#include <cstddef>

void draw_objects(const ObjMesh &mesh, std::int32_t object)
{
    if (!mesh.loaded)
        return;
    const ObjectRange range = object_range(object, mesh.object_starts.size());
    const auto *base = reinterpret_cast<const unsigned char *>(mesh.vertices.data());
    constexpr GLsizei stride = sizeof(MeshVertex);

    for (std::int32_t k = range.first; k < range.end; ++k) {
        const std::int32_t from = mesh.object_starts[static_cast<std::size_t>(k)];
        const std::int32_t to = mesh.object_starts[static_cast<std::size_t>(k) + 1];
        if (mesh.has_positions) {
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(3, GL_FLOAT, stride, base + offsetof(MeshVertex, position));
        }
        if (mesh.has_texcoords) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, stride, base + offsetof(MeshVertex, texcoord));
        }
        if (mesh.has_normals) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, stride, base + offsetof(MeshVertex, normal));
        }
        glDrawElementsInstancedEXT(GL_TRIANGLES, 3 * (to - from), GL_UNSIGNED_INT,
                                   mesh.indices.data() + 3 * static_cast<std::size_t>(from), 1);
        if (mesh.has_normals)
            glDisableClientState(GL_NORMAL_ARRAY);
        if (mesh.has_positions)
            glDisableClientState(GL_VERTEX_ARRAY);
        if (mesh.has_texcoords)
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}
