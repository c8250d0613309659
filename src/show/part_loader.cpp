// The loading screen's draw: arcs as quad strips, a quad added on top.
// Depends on: render/render_targets.h, render/gl_helpers.h, GL/GLU, and
// the render size from runtime/show_state.h.
#include "show/part_loader.h"

#include "render/gl_helpers.h"
#include "render/render_targets.h"
#include "runtime/show_state.h"
#include "show/resources.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>
#include <numbers>

namespace
{
constexpr int arc_steps = 1000;

// One band between two radii: lit at `lit_radius`, black at `dark_radius`.
// The sweep grows with the clock: a full turn every 50 s.
void draw_arc(double clock, double r, double lit_radius, double dark_radius)
{
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i < arc_steps; ++i) {
        const double a = clock * 0.02 * 2.0 * std::numbers::pi * i / arc_steps;
        const double s = std::sin(a), c = std::cos(a);
        glColor3d(0.2 * r, 0.2 * r, 0.25 * r);
        glVertex3d(lit_radius * s, lit_radius * c, 0.0);
        glColor3d(0.0, 0.0, 0.0);
        glVertex3d(dark_radius * s, dark_radius * c, 0.0);
    }
    glEnd();
}
} // namespace

double loader_fade(double loader_clock)
{
    double r = 1.0;
    if (loader_clock < 4.0)
        r = loader_clock * 0.25;
    if (loader_clock > 44.0)
        r = 1.0 - (loader_clock - 44.0) * 0.175;
    return r;
}

void part_loader::setup(RenderTargets &)
{
    loader_clock = 0.0;
    texture_base = loader_texture_base;
}

void part_loader::draw(const double *step, RenderTargets &ctx, FrameInfo *)
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFlush();
    glPushAttrib(GL_ALL_ATTRIB_BITS);

    loader_clock += *step * 0.902;

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    ctx.unbind_render_targets();
    glUseProgram(0);

    glViewport(0, 0, render_width, render_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double height = render_height > 0 ? render_height : 1;
    gluPerspective(65.0 + ctx.fov_offset, render_width / height, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 11.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

    glColor3f(1.0f, 0.0f, 0.0f);
    glDisable(GL_CULL_FACE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const double r = loader_fade(loader_clock);
    draw_arc(loader_clock, r, 4.0, 3.95);
    draw_arc(loader_clock, r, 4.3, 4.35);

    glEnable(GL_TEXTURE_2D);
    ctx.bind_table_texture(TextureNumber{texture_base + (tex::loader_quad.value - loader_texture_base)});
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor3d(r, r, r);
    const double rotation = 0.0, half_size = 4.1;
    draw_billboard(rotation, half_size, half_size, true, 1.0f);

    glDisable(GL_BLEND);
    glPopMatrix();
    glPopAttrib();
    glFlush();
}
