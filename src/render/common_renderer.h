// CommonRenderer: the operations that are the same on GL 2 and WebGL2, for
// both backends to share. Targets and textures go through the render
// context's tables, programs through the show's ShaderProgram, grids and
// meshes through the drawing files of the build (grid_lists.h,
// mesh_drawing.h: GL 2's on the desktop, WebGL2's in the browser), and the
// few raw calls left (clear, a 2-vector uniform, texture parameters, flush
// and finish) mean the same in both APIs.
// Depends on: GL through GLEW on the desktop, GLES 3 through the browser
// build's stand-in GL/glew.h (in its source only). GL thread only.
#pragma once

#include "render/renderer.h"

class RenderTargets;
class ShaderProgram;

class CommonRenderer : public Renderer
{
  public:
    void bind_render_set(RenderSetNumber set, int colours) override;
    void bind_window() override;
    void attach_colour(RenderSetNumber set, int attachment, TextureNumber texture) override;
    void attach_depth(RenderSetNumber set, TextureNumber texture) override;
    void resolve(RenderSetNumber set, int width, int height, int colours, bool depth) override;
    void clear() override;

    void uniform2(ProgramSlot slot, const std::string &name, float x, float y) override;

    void texture_filter(TextureNumber texture, TextureFilter filter) override;
    void update_texture_1d(TextureNumber texture, int width, const unsigned char *rgb) override;
    void clamp_bound_texture_to_edge() override;
    void nearest_filters_on_bound_texture() override;
    void restore_texture(TextureNumber texture, unsigned kept) override;

    void reset_fixed_state() override;

    void call_pieces(const GridListBuild &grid, int from, int to) override;
    void draw_mesh(const ObjMesh &mesh, std::int32_t object) override;

    void flush() override;
    void finish() override;

  protected:
    // `shaders` may be null for a drawing that uses no program.
    CommonRenderer(RenderTargets &ctx, const ShaderProgram *shaders) : ctx_(ctx), shaders_(shaders) {}

    RenderTargets &ctx_;
    const ShaderProgram *shaders_;
};
