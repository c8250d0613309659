// part_start::use_lit_mesh_program: the lit-mesh program with its inputs,
// as the top-view pass and the scene renderer's preparation step set it:
// "PosY" and "PP" from the adjustment, the normal map, the (never rendered)
// mesh depth, the palette picture and the two samplers that see no texture.
// Depends on: ShaderProgram, RenderTargets. GL thread only; leaves texture
// unit 4 active.
#include "render/render_targets.h"
#include "show/part_start.h"
#include "show/resources.h"

#include <GL/glew.h>

void part_start::use_lit_mesh_program(const RenderTargets &ctx, double a1) const
{
    const ProgramSlot mesh = program::lit_mesh;
    shaders.use_program(mesh);
    shaders.set_uniform_float(mesh, "PosY", static_cast<float>(a1));
    shaders.set_uniform_float(mesh, "PP", static_cast<float>(a1));
    shaders.bind_texture_uniform(GL_TEXTURE_2D, mesh, 0, "texture2d_1", ctx.textures[tex::normal_map]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, mesh, 1, "texture2d_2", ctx.textures[tex::mesh_depth]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, mesh, 2, "texture2d_3", ctx.textures[tex::background]);
    shaders.bind_texture_uniform(GL_TEXTURE_2D, mesh, 3, "texture2d_blob", ctx.textures[tex::blob]);
    shaders.bind_texture_uniform(GL_TEXTURE_CUBE_MAP, mesh, 4, "texture2d_cube", ctx.textures[tex::cube]);
}
