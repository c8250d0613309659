// draw_objects on WebGL2: a mesh's interleaved vertices and indices go into
// buffers on its first draw (WebGL2 has no client arrays), kept for the
// mesh's address; then one indexed draw per object, as on the desktop.
#include "render/mesh_drawing.h"

#include "render/webgl/webgl_state.h"

#include <cstddef>
#include <unordered_map>

namespace
{
struct MeshBuffers {
    GLuint vertices = 0, indices = 0;
};

MeshBuffers buffers_for(const ObjMesh &mesh)
{
    static std::unordered_map<const ObjMesh *, MeshBuffers> made;
    MeshBuffers &b = made[&mesh];
    if (b.vertices == 0) {
        glGenBuffers(1, &b.vertices);
        glGenBuffers(1, &b.indices);
        glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(MeshVertex)),
                     mesh.vertices.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(mesh.indices[0])),
                     mesh.indices.data(), GL_STATIC_DRAW);
    }
    return b;
}
} // namespace

void draw_objects(const ObjMesh &mesh, std::int32_t object)
{
    if (!mesh.loaded)
        return;
    const ObjectRange range = object_range(object, mesh.object_starts.size());
    if (range.first >= range.end)
        return;
    const MeshBuffers b = buffers_for(mesh);
    constexpr GLsizei stride = sizeof(MeshVertex);
    unsigned arrays = 0;
    if (mesh.has_positions)
        arrays |= 1u << webgl_attribute::vertex;
    if (mesh.has_texcoords)
        arrays |= 1u << (webgl_attribute::tex_coord0);
    if (mesh.has_normals)
        arrays |= 1u << webgl_attribute::normal;
    WebGlState::current().prepare_draw(arrays);
    glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
    glVertexAttribPointer(webgl_attribute::vertex, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void *>(offsetof(MeshVertex, position)));
    glVertexAttribPointer(webgl_attribute::tex_coord0, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void *>(offsetof(MeshVertex, texcoord)));
    glVertexAttribPointer(webgl_attribute::normal, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void *>(offsetof(MeshVertex, normal)));
    for (std::int32_t k = range.first; k < range.end; ++k) {
        const std::int32_t from = mesh.object_starts[static_cast<std::size_t>(k)];
        const std::int32_t to = mesh.object_starts[static_cast<std::size_t>(k) + 1];
        glDrawElements(
            GL_TRIANGLES, 3 * (to - from), GL_UNSIGNED_INT,
            reinterpret_cast<const void *>(3 * static_cast<std::size_t>(from) * sizeof(std::uint32_t)));
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}
