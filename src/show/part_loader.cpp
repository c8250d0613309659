// The loading screen's draw: arcs as quad strips, a quad added on top.
// Depends on: the drawing interface (show/drawing.h), and the render size
// from runtime/show_state.h.
#include "show/part_loader.h"

#include "render/render_targets.h"
#include "runtime/show_state.h"
#include "show/drawing.h"
#include "show/resources.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace
{
constexpr int arc_steps = 1000;

// One band between two radii: lit at `lit_radius`, black at `dark_radius`.
// The sweep grows with the clock: a full turn every 50 s.
void draw_arc(Renderer &renderer, double clock, double r, double lit_radius, double dark_radius)
{
    std::vector<ColouredVertex> strip;
    strip.reserve(2 * arc_steps);
    for (int i = 0; i < arc_steps; ++i) {
        const double a = clock * 0.02 * 2.0 * std::numbers::pi * i / arc_steps;
        const double s = std::sin(a), c = std::cos(a);
        strip.push_back({0.2 * r, 0.2 * r, 0.25 * r, lit_radius * s, lit_radius * c, 0.0});
        strip.push_back({0.0, 0.0, 0.0, dark_radius * s, dark_radius * c, 0.0});
    }
    renderer.quad_strip(strip);
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
    auto g = renderer_for(ctx, nullptr);
    g.clear_colour(0.0f, 0.0f, 0.0f, 0.0f);
    g.clear();
    g.flush();
    g.push_state();

    loader_clock += *step * 0.902;

    g.matrix_mode(MatrixStack::modelview);
    g.push_matrix();
    g.bind_window();
    g.no_program();

    g.viewport(0, 0, render_width, render_height);
    g.matrix_mode(MatrixStack::projection);
    g.load_identity();
    const double height = render_height > 0 ? render_height : 1;
    g.perspective(65.0 + ctx.fov_offset, render_width / height, 1.0, 100.0);
    g.matrix_mode(MatrixStack::modelview);
    g.load_identity();
    g.look_at(0.0, 0.0, 11.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

    g.colour(1.0f, 0.0f, 0.0f);
    g.set(Capability::cull_face, false);
    g.clear();

    const double r = loader_fade(loader_clock);
    draw_arc(g, loader_clock, r, 4.0, 3.95);
    draw_arc(g, loader_clock, r, 4.3, 4.35);

    g.set(Capability::texture_2d, true);
    g.bind_texture(TextureNumber{texture_base + (tex::loader_quad.value - loader_texture_base)});
    g.set(Capability::blend, true);
    g.blend_function(BlendFactor::one, BlendFactor::one);
    g.colour(static_cast<float>(r), static_cast<float>(r), static_cast<float>(r));
    const double rotation = 0.0, half_size = 4.1;
    g.billboard(rotation, half_size, half_size, true, 1.0f);

    g.set(Capability::blend, false);
    g.pop_matrix();
    g.pop_state();
    g.flush();
}
