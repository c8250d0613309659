// part_start::use_lit_mesh_program: the lit-mesh program with its inputs,
// as the top-view pass and the scene renderer's preparation step set it:
// "PosY" and "PP" from the adjustment, the normal map, the (never rendered)
// mesh depth, the palette picture and the two samplers that see no texture.
// Depends on: the drawing interface. Leaves texture unit 4 active.
#include "render/renderer.h"
#include "show/part_start.h"
#include "show/resources.h"

void part_start::use_lit_mesh_program(Renderer &r, double a1) const
{
    const ProgramSlot mesh = program::lit_mesh;
    r.use_program(mesh);
    r.uniform(mesh, "PosY", static_cast<float>(a1));
    r.uniform(mesh, "PP", static_cast<float>(a1));
    r.bind_sampler(mesh, 0, "texture2d_1", tex::normal_map, TextureKind::two_d);
    r.bind_sampler(mesh, 1, "texture2d_2", tex::mesh_depth, TextureKind::two_d);
    r.bind_sampler(mesh, 2, "texture2d_3", tex::background, TextureKind::two_d);
    r.bind_sampler(mesh, 3, "texture2d_blob", tex::blob, TextureKind::two_d);
    r.bind_sampler(mesh, 4, "texture2d_cube", tex::cube, TextureKind::cube);
}
