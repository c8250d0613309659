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
// Depends on: top_view_plan (plain values), draw_objects, ShaderProgram,
// RenderTargets, GLU. GL thread only.
#include "render/gl_helpers.h"
#include "render/mesh_drawing.h"
#include "render/render_targets.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "show/top_view_plan.h"

#include <GL/glew.h>
#include <GL/glu.h>

namespace
{

constexpr int map_size = top_view_size;
constexpr int every_object = -1;

} // namespace

void part_start::draw_top_view(RenderTargets &ctx)
{
    const double t = scene_time;
    const double a1 = frame.adjust[1];
    if (!top_view_runs(t))
        return; // the height map keeps what it last received

    ctx.bind_render_set(render_set::top_view, 1);
    glViewport(0, 0, map_size, map_size);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, 1.0, 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluLookAt(0, 90, 0, 0, 0, 0, 0, 0, 1);
    reset_gl_state();

    const ProgramSlot mesh = program::lit_mesh;
    use_lit_mesh_program(ctx, a1);

    // The plan seeds the shared generator and draws from it exactly as
    // this pass always has.
    const TopViewPlan plan = plan_top_view(t);
    glMatrixMode(GL_TEXTURE);
    glActiveTexture(GL_TEXTURE1);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    glLoadIdentity();

    shaders.set_uniform_float(mesh, "ttime", static_cast<float>(t));
    shaders.set_uniform_float(mesh, "PosY", static_cast<float>(a1 - 100.0));
    shaders.set_uniform_float(mesh, "PosY", static_cast<float>(a1));

    glColor3f(1.0f, 1.0f, 1.0f);
    glScaled(0.1, 0.1, 0.1);
    glScaled(plan.scale, plan.scale, plan.scale);
    glScaled(0.57, 0.57, 0.57);

    if (plan.city) {
        glPushMatrix();
        if (plan.city_tilted) {
            glRotated(20.0, 1.0, 0.0, 0.0);
            glTranslated(0.0, plan.city_rise, 0.0);
        }
        draw_objects(city, every_object);
        glPopMatrix();
    }
    if (plan.insect) {
        glPushMatrix();
        glTranslated(0.0, -108.0, 0.0);
        glScaled(3.2, 3.2, 3.2);
        draw_objects(vannel, every_object);
        glPopMatrix();
    }
    for (const LeafPlacement &leaf : plan.leaves) {
        glPushMatrix();
        glTranslated(leaf.x, leaf.y, leaf.z);
        glScaled(leaf.size, leaf.size, leaf.size);
        glRotated(leaf.spin_degrees, 0.0, 1.0, 0.0);
        draw_objects(leaves, leaf.object);
        glPopMatrix();
    }

    glColor3f(1.0f, 0.0f, 0.0f);
    glDisable(GL_CULL_FACE);
    if (plan.cleared)
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    ctx.bind_table_texture(tex::height_map);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, map_size, map_size);
    ctx.unbind_render_targets();
    glMatrixMode(GL_MODELVIEW);
}
