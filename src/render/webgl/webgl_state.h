// WebGlState: what GL 2 kept for the show and WebGL2 does not: the matrix
// stacks (projection, modelview, a texture stack per unit), the current
// colour and point size, the fixed-function enables that have no WebGL2
// counterpart (lighting, 2-D texturing, point sprites), the attribute
// stack of push_state, and the program in use. One per GL context, made on
// first use; every draw goes through prepare_draw, which feeds the
// program's stand-in uniforms (glsl_es_translation.h) from it and draws
// with a small built-in program where the show uses none.
// Depends on: GLES 3, render/matrix4.h. GL thread only.
#pragma once

#include "render/matrix4.h"

#include <GLES3/gl3.h>

#include <array>
#include <unordered_map>
#include <vector>

// Fixed attribute locations of the stand-in attributes.
namespace webgl_attribute
{
inline constexpr GLuint vertex = 0;
inline constexpr GLuint normal = 1;
inline constexpr GLuint colour = 2;
inline constexpr GLuint tex_coord0 = 3; // _MultiTexCoordN at 3 + N
inline constexpr int tex_coord_sets = 4;
} // namespace webgl_attribute

// Matrix modes as GL 2 numbers them (GLES 3 has none).
inline constexpr GLenum webgl_modelview = 0x1700;
inline constexpr GLenum webgl_projection = 0x1701;
inline constexpr GLenum webgl_texture = 0x1702;

// The state push_state saves and pop_state puts back.
struct WebGlAttributes {
    std::array<float, 4> colour{1, 1, 1, 1};
    float point_size = 1.0f;
    bool blend = false, depth_test = false, scissor_test = false, cull_face = false;
    bool texture_2d = false, lighting = false;
    GLenum blend_source = GL_ONE, blend_destination = GL_ZERO;
    std::array<GLint, 4> scissor_box{0, 0, 0, 0};
    std::array<GLint, 4> viewport{0, 0, 0, 0};
    std::array<float, 4> clear_colour{0, 0, 0, 0};
    GLenum active_unit = 0;
    std::array<GLuint, 8> texture_2d_bindings{};
};

class WebGlState
{
  public:
    static constexpr int texture_units = 8;

    // The state of the current context.
    static WebGlState &current();

    // ---- Matrices ------------------------------------------------------
    void matrix_mode(GLenum mode) { mode_ = mode; }
    Matrix4 &top();
    void push_matrix();
    void pop_matrix();
    void multiply_top(const Matrix4 &m) { top() = multiply(top(), m); }
    const Matrix4 &modelview() { return modelview_.back(); }

    // ---- Fixed-function state --------------------------------------------
    WebGlAttributes attributes;
    void push_attributes(bool textures_only, bool scissor_and_enables_only);
    void pop_attributes();
    // Applies an enable the way GL 2 would (WebGL2's own where it has one).
    void enable(GLenum capability, bool on);
    void bind_texture_2d(GLuint texture);
    void active_texture(GLenum unit);
    void viewport(GLint x, GLint y, GLsizei w, GLsizei h);

    // ---- Programs ------------------------------------------------------
    void use_program(GLuint program);
    GLuint program() const { return program_; }

    // Makes the draw about to be issued see GL 2's state: the built-in
    // program when none is in use, the stand-in uniforms, the constant
    // attributes (colour, texture coordinates, normal) for arrays not
    // given. `arrays` is a bit set of the attribute locations enabled.
    void prepare_draw(unsigned arrays);

    // A scratch array buffer for immediate-mode-like draws.
    GLuint stream_buffer();

  private:
    WebGlState();
    struct ProgramLocations {
        GLint model_view = -1, projection = -1, mvp = -1, normal = -1, point_size = -1;
        std::array<GLint, texture_units> texture_matrix{};
        GLint textured = -1, sampler = -1; // the built-in program's own
    };
    const ProgramLocations &locations(GLuint program);
    std::vector<Matrix4> &stack();

    GLenum mode_ = webgl_modelview;
    std::vector<Matrix4> projection_, modelview_;
    std::array<std::vector<Matrix4>, texture_units> texture_;
    std::vector<WebGlAttributes> saved_;
    std::vector<int> saved_kind_;
    GLuint program_ = 0;
    GLuint built_in_ = 0;
    GLuint stream_buffer_ = 0;
    GLuint vertex_array_ = 0;
    std::unordered_map<GLuint, ProgramLocations> locations_;
};
