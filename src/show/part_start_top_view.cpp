// part_start::draw_top_view: renders the meshes of the current scene from
// straight above with the lit-mesh program and copies the 512 x 512 result
// into the height map (texture 101), which the particle programs sample.
//
// The pass draws into render set 3 (512 x 512, otherwise unused), not the
// window: a window smaller than 512 x 512, or one partly covered, would
// leave undefined pixels in the copied square. It restores the window as
// the draw target afterwards.
// Each mesh's placement goes into texture matrix 0, which the lit-mesh
// vertex shader applies, while the modelview keeps the top-view camera.
// Depends on: top_view_plan (plain values), the drawing interface. GL
// thread only.
#include "render/renderer.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "show/top_view_plan.h"

namespace
{

constexpr int map_size = top_view_size;
constexpr int every_object = -1;

} // namespace

void part_start::draw_top_view(RenderTargets &ctx, const TopViewPlan &plan)
{
    const double t = scene_time;
    const double a1 = frame.adjust[1];
    if (!plan.runs)
        return; // the height map keeps what it last received

    auto r = renderer(ctx);
    r.bind_render_set(render_set::top_view, 1);
    r.viewport(0, 0, map_size, map_size);
    r.matrix_mode(MatrixStack::projection);
    r.load_identity();
    r.perspective(65.0, 1.0, 0.1, 1000.0);
    r.matrix_mode(MatrixStack::modelview);
    r.load_identity();
    r.clear_colour(0, 0, 0, 0);
    r.clear();
    r.look_at(0, 90, 0, 0, 0, 0, 0, 0, 1);
    r.reset_fixed_state();

    const ProgramSlot mesh = program::lit_mesh;
    use_lit_mesh_program(r, a1);

    r.matrix_mode(MatrixStack::texture);
    r.active_texture(1);
    r.load_identity();
    r.active_texture(0);
    r.load_identity();

    r.uniform(mesh, "ttime", static_cast<float>(t));
    r.uniform(mesh, "PosY", static_cast<float>(a1 - 100.0));
    r.uniform(mesh, "PosY", static_cast<float>(a1));

    r.colour(1.0f, 1.0f, 1.0f);
    r.scale(0.1, 0.1, 0.1);
    r.scale(plan.scale, plan.scale, plan.scale);
    r.scale(0.57, 0.57, 0.57);

    if (plan.city) {
        r.push_matrix();
        if (plan.city_tilted) {
            r.rotate(20.0, 1.0, 0.0, 0.0);
            r.translate(0.0, plan.city_rise, 0.0);
        }
        r.draw_mesh(city, every_object);
        r.pop_matrix();
    }
    if (plan.insect) {
        r.push_matrix();
        r.translate(0.0, -108.0, 0.0);
        r.scale(3.2, 3.2, 3.2);
        r.draw_mesh(vannel, every_object);
        r.pop_matrix();
    }
    for (const LeafPlacement &leaf : plan.leaves) {
        r.push_matrix();
        r.translate(leaf.x, leaf.y, leaf.z);
        r.scale(leaf.size, leaf.size, leaf.size);
        r.rotate(leaf.spin_degrees, 0.0, 1.0, 0.0);
        r.draw_mesh(leaves, leaf.object);
        r.pop_matrix();
    }

    r.colour(1.0f, 0.0f, 0.0f);
    r.set(Capability::cull_face, false);
    if (plan.cleared)
        r.clear();

    r.copy_to_texture(tex::height_map, map_size, map_size);
    r.bind_window();
    r.matrix_mode(MatrixStack::modelview);
}
