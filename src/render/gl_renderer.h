// GlRenderer: the drawing interface on OpenGL 2 with the compatibility
// profile, issuing the calls the show has always made: display lists stay
// display lists, the matrices are GL's fixed-function stacks, and the
// perspective and look-at are GLU's. Textures and render sets are looked up
// in the render context's tables, programs in the show's ShaderProgram.
// Cheap to make: it holds two references and no GL objects.
// Depends on: GL through GLEW, GLU (in its source only), RenderTargets,
// ShaderProgram, CommonRenderer (what the two backends share). GL thread only.
#pragma once

#include "render/common_renderer.h"

class RenderTargets;
class ShaderProgram;

class GlRenderer final : public CommonRenderer
{
  public:
    // `shaders` may be null for a drawing that uses no program.
    GlRenderer(RenderTargets &ctx, const ShaderProgram *shaders) : CommonRenderer(ctx, shaders) {}

    void copy_to_texture(TextureNumber texture, int width, int height) override;
    void viewport(int x, int y, int width, int height) override;
    void clear_colour(float r, float g, float b, float a) override;

    void use_program(ProgramSlot slot) override;
    void no_program() override;
    void uniform(ProgramSlot slot, const std::string &name, float value) override;
    void uniform_array(ProgramSlot slot, const std::string &name, std::span<const float> values) override;
    void bind_sampler(ProgramSlot slot, int unit, const std::string &name, TextureNumber texture,
                      TextureKind kind) override;
    void projective_texture_matrix(ProgramSlot slot, const std::string &name, const CameraRecord &camera,
                                   double fovy, double aspect, double z_near, double z_far) override;

    void active_texture(int unit) override;
    void bind_texture(TextureNumber texture) override;
    unsigned swap_in_empty_texture(TextureNumber texture, int width, int height) override;

    void matrix_mode(MatrixStack stack) override;
    void load_identity() override;
    void push_matrix() override;
    void pop_matrix() override;
    void perspective(double fovy, double aspect, double z_near, double z_far) override;
    void look_at(double eye_x, double eye_y, double eye_z, double centre_x, double centre_y, double centre_z,
                 double up_x, double up_y, double up_z) override;
    void look_at(const CameraRecord &camera) override;
    void scale(double x, double y, double z) override;
    void rotate(double degrees, double x, double y, double z) override;
    void translate(double x, double y, double z) override;

    void push_state(StateGroups groups = StateGroups::all) override;
    void pop_state() override;
    void scissor(int x, int y, int width, int height) override;
    void set(Capability capability, bool on) override;
    void blend_function(BlendFactor source, BlendFactor destination) override;
    void colour(float r, float g, float b, float a = 1.0f) override;
    void point_size(float size) override;

    void call_list(DisplayListNumber list) override;
    void billboard(double rotation, double half_width, double half_height, bool face_viewer,
                   float texture_repeat) override;
    void quad_strip(std::span<const ColouredVertex> vertices) override;
};
