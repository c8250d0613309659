// WebGlRenderer: each operation as WebGL2 does what GL 2 did for it, with
// the fixed-function parts kept in WebGlState.
#include "render/webgl/webgl_renderer.h"

#include "render/gl_helpers.h"
#include "render/render_targets.h"
#include "render/shader_program.h"
#include "render/webgl/webgl_lists.h"
#include "render/webgl/webgl_state.h"

#include <GLES3/gl3.h>

#include <vector>

namespace
{

GLenum gl_factor(BlendFactor f)
{
    switch (f) {
    case BlendFactor::src_alpha:
        return GL_SRC_ALPHA;
    case BlendFactor::one_minus_src_alpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::one:
        break;
    }
    return GL_ONE;
}

WebGlState &state()
{
    return WebGlState::current();
}

} // namespace

void WebGlRenderer::copy_to_texture(TextureNumber texture, int width, int height)
{
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glReadBuffer(framebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    bind_texture(texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

void WebGlRenderer::viewport(int x, int y, int width, int height)
{
    state().viewport(x, y, width, height);
}

void WebGlRenderer::clear_colour(float r, float g, float b, float a)
{
    state().attributes.clear_colour = {r, g, b, a};
    glClearColor(r, g, b, a);
}

void WebGlRenderer::use_program(ProgramSlot slot)
{
    if (shaders_ != nullptr)
        state().use_program(shaders_->program(slot));
}

void WebGlRenderer::no_program()
{
    state().use_program(0);
}

void WebGlRenderer::uniform(ProgramSlot slot, const std::string &name, float value)
{
    if (shaders_ != nullptr)
        glUniform1f(glGetUniformLocation(shaders_->program(slot), name.c_str()), value);
}

void WebGlRenderer::uniform_array(ProgramSlot slot, const std::string &name, std::span<const float> values)
{
    if (shaders_ != nullptr && !values.empty())
        glUniform1fv(glGetUniformLocation(shaders_->program(slot), name.c_str()),
                     static_cast<GLsizei>(values.size()), values.data());
}

void WebGlRenderer::bind_sampler(ProgramSlot slot, int unit, const std::string &name, TextureNumber texture,
                                 TextureKind kind)
{
    if (shaders_ == nullptr || !RenderTargets::valid_texture_number(texture))
        return;
    const GLint location = glGetUniformLocation(shaders_->program(slot), name.c_str());
    active_texture(unit);
    // The spectrum's 1-D texture is a 2-D one a row high here.
    if (kind == TextureKind::cube)
        glBindTexture(GL_TEXTURE_CUBE_MAP, ctx_.textures[texture]);
    else
        state().bind_texture_2d(ctx_.textures[texture]);
    glUniform1i(location, unit);
}

void WebGlRenderer::projective_texture_matrix(ProgramSlot slot, const std::string &name,
                                              const CameraRecord &camera, double fovy, double aspect,
                                              double z_near, double z_far)
{
    ShaderProgram::set_projective_texture_matrix(slot, name, camera, fovy, aspect, z_near, z_far);
}

void WebGlRenderer::active_texture(int unit)
{
    state().active_texture(GL_TEXTURE0 + static_cast<GLenum>(unit));
}

void WebGlRenderer::bind_texture(TextureNumber texture)
{
    if (RenderTargets::valid_texture_number(texture))
        state().bind_texture_2d(ctx_.textures[texture]);
}

unsigned WebGlRenderer::swap_in_empty_texture(TextureNumber texture, int width, int height)
{
    if (!RenderTargets::valid_texture_number(texture))
        return 0;
    const GLuint kept = ctx_.textures[texture];
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint stand_in = 0;
    glGenTextures(1, &stand_in);
    glBindTexture(GL_TEXTURE_2D, stand_in);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    ctx_.textures[texture] = stand_in;
    return kept;
}

void WebGlRenderer::matrix_mode(MatrixStack stack)
{
    state().matrix_mode(stack == MatrixStack::projection ? webgl_projection
                        : stack == MatrixStack::texture  ? webgl_texture
                                                         : webgl_modelview);
}

void WebGlRenderer::load_identity()
{
    state().top() = identity_matrix();
}

void WebGlRenderer::push_matrix()
{
    state().push_matrix();
}

void WebGlRenderer::pop_matrix()
{
    state().pop_matrix();
}

void WebGlRenderer::perspective(double fovy, double aspect, double z_near, double z_far)
{
    state().multiply_top(perspective_matrix(fovy, aspect, z_near, z_far));
}

void WebGlRenderer::look_at(double eye_x, double eye_y, double eye_z, double centre_x, double centre_y,
                            double centre_z, double up_x, double up_y, double up_z)
{
    state().multiply_top(
        look_at_matrix({eye_x, eye_y, eye_z}, {centre_x, centre_y, centre_z}, {up_x, up_y, up_z}));
}

void WebGlRenderer::look_at(const CameraRecord &c)
{
    look_at(c.eye.x, c.eye.y, c.eye.z, c.centre.x, c.centre.y, c.centre.z, c.up.x, c.up.y, c.up.z);
}

void WebGlRenderer::scale(double x, double y, double z)
{
    state().multiply_top(scale_matrix(x, y, z));
}

void WebGlRenderer::rotate(double degrees, double x, double y, double z)
{
    state().multiply_top(rotation_matrix(degrees, x, y, z));
}

void WebGlRenderer::translate(double x, double y, double z)
{
    state().multiply_top(translation_matrix(x, y, z));
}

void WebGlRenderer::push_state(StateGroups groups)
{
    state().push_attributes(groups == StateGroups::textures, groups == StateGroups::scissor_and_enables);
}

void WebGlRenderer::pop_state()
{
    state().pop_attributes();
}

void WebGlRenderer::set(Capability capability, bool on)
{
    WebGlState &s = state();
    switch (capability) {
    case Capability::blend:
        s.enable(GL_BLEND, on);
        return;
    case Capability::depth_test:
        s.enable(GL_DEPTH_TEST, on);
        return;
    case Capability::scissor_test:
        s.enable(GL_SCISSOR_TEST, on);
        return;
    case Capability::cull_face:
        s.enable(GL_CULL_FACE, on);
        return;
    case Capability::texture_2d:
        s.attributes.texture_2d = on;
        return;
    case Capability::lighting:
        s.attributes.lighting = on;
        return;
    case Capability::point_smooth:
    case Capability::program_point_size:
    case Capability::point_sprite:
        // WebGL2 points are sprites sized by the vertex stage, always.
        return;
    }
}

void WebGlRenderer::scissor(int x, int y, int width, int height)
{
    state().attributes.scissor_box = {x, y, width, height};
    glScissor(x, y, width, height);
}

void WebGlRenderer::blend_function(BlendFactor source, BlendFactor destination)
{
    state().attributes.blend_source = gl_factor(source);
    state().attributes.blend_destination = gl_factor(destination);
    glBlendFunc(gl_factor(source), gl_factor(destination));
}

void WebGlRenderer::colour(float r, float g, float b, float a)
{
    state().attributes.colour = {r, g, b, a};
}

void WebGlRenderer::point_size(float size)
{
    state().attributes.point_size = size;
}

void WebGlRenderer::call_list(DisplayListNumber list)
{
    WebGlLists::current().call(static_cast<unsigned>(list.value));
}

void WebGlRenderer::billboard(double rotation, double half_width, double half_height, bool face_viewer,
                              float texture_repeat)
{
    draw_billboard(rotation, half_width, half_height, face_viewer, texture_repeat);
}

void WebGlRenderer::quad_strip(std::span<const ColouredVertex> vertices)
{
    if (vertices.empty())
        return;
    // A quad strip rasterises as the triangle strip of the same vertices.
    std::vector<float> v;
    v.reserve(vertices.size() * 7);
    for (const ColouredVertex &c : vertices)
        v.insert(v.end(), {static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z),
                           static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b), 1.0f});
    WebGlState &s = state();
    s.prepare_draw((1u << webgl_attribute::vertex) | (1u << webgl_attribute::colour));
    glBindBuffer(GL_ARRAY_BUFFER, s.stream_buffer());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(v.size() * sizeof(float)), v.data(),
                 GL_STREAM_DRAW);
    glVertexAttribPointer(webgl_attribute::vertex, 3, GL_FLOAT, GL_FALSE, 7 * sizeof(float), nullptr);
    glVertexAttribPointer(webgl_attribute::colour, 4, GL_FLOAT, GL_FALSE, 7 * sizeof(float),
                          reinterpret_cast<const void *>(3 * sizeof(float)));
    glDrawArrays(GL_TRIANGLE_STRIP, 0, static_cast<GLsizei>(vertices.size()));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // glColor3d left the last vertex's colour current.
    const ColouredVertex &last = vertices.back();
    s.attributes.colour = {static_cast<float>(last.r), static_cast<float>(last.g), static_cast<float>(last.b),
                           1.0f};
}
