// CommonRenderer: the calls both backends make alike.
#include "render/common_renderer.h"

#include "render/gl_helpers.h"
#include "render/grid_lists.h"
#include "render/mesh_drawing.h"
#include "render/render_targets.h"
#include "render/shader_program.h"

#include <GL/glew.h>

void CommonRenderer::bind_render_set(RenderSetNumber set, int colours)
{
    ctx_.bind_render_set(set, colours);
}

void CommonRenderer::bind_window()
{
    ctx_.unbind_render_targets();
}

void CommonRenderer::attach_colour(RenderSetNumber set, int attachment, TextureNumber texture)
{
    ctx_.attach_colour_texture(set, attachment, texture);
}

void CommonRenderer::attach_depth(RenderSetNumber set, TextureNumber texture)
{
    ctx_.attach_depth_texture(set, texture);
}

void CommonRenderer::resolve(RenderSetNumber set, int width, int height, int colours, bool depth)
{
    ctx_.resolve_render_set(set, width, height, colours, depth);
}

void CommonRenderer::clear()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CommonRenderer::uniform2(ProgramSlot slot, const std::string &name, float x, float y)
{
    if (shaders_ != nullptr)
        glUniform2f(glGetUniformLocation(shaders_->program(slot), name.c_str()), x, y);
}

void CommonRenderer::texture_filter(TextureNumber texture, TextureFilter filter)
{
    if (RenderTargets::valid_texture_number(texture))
        set_texture_filter(ctx_.textures[texture], filter == TextureFilter::nearest ? GL_NEAREST : GL_LINEAR);
}

void CommonRenderer::update_texture_1d(TextureNumber texture, int width, const unsigned char *rgb)
{
    ctx_.update_texture_1d(texture, width, rgb);
}

void CommonRenderer::clamp_bound_texture_to_edge()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void CommonRenderer::nearest_filters_on_bound_texture()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void CommonRenderer::restore_texture(TextureNumber texture, unsigned kept)
{
    if (!RenderTargets::valid_texture_number(texture))
        return;
    const GLuint stand_in = ctx_.textures[texture];
    ctx_.textures[texture] = kept;
    glDeleteTextures(1, &stand_in);
}

void CommonRenderer::reset_fixed_state()
{
    reset_gl_state();
}

void CommonRenderer::call_pieces(const GridListBuild &grid, int from, int to)
{
    grid.call_pieces(from, to);
}

void CommonRenderer::draw_mesh(const ObjMesh &mesh, std::int32_t object)
{
    draw_objects(mesh, object);
}

void CommonRenderer::flush()
{
    glFlush();
}

void CommonRenderer::finish()
{
    glFinish();
}
