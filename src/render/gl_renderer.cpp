// GlRenderer: each operation is the GL call (or the toolkit call) the show
// made for it before the interface existed.
#include "render/gl_renderer.h"

#include "render/gl_helpers.h"
#include "render/render_targets.h"
#include "render/shader_program.h"

#include <GL/glew.h>
#include <GL/glu.h>

namespace
{

GLenum gl_stack(MatrixStack stack)
{
    switch (stack) {
    case MatrixStack::projection:
        return GL_PROJECTION;
    case MatrixStack::texture:
        return GL_TEXTURE;
    case MatrixStack::modelview:
        break;
    }
    return GL_MODELVIEW;
}

GLenum gl_target(TextureKind kind)
{
    switch (kind) {
    case TextureKind::one_d:
        return GL_TEXTURE_1D;
    case TextureKind::cube:
        return GL_TEXTURE_CUBE_MAP;
    case TextureKind::two_d:
        break;
    }
    return GL_TEXTURE_2D;
}

GLenum gl_capability(Capability c)
{
    switch (c) {
    case Capability::blend:
        return GL_BLEND;
    case Capability::depth_test:
        return GL_DEPTH_TEST;
    case Capability::texture_2d:
        return GL_TEXTURE_2D;
    case Capability::scissor_test:
        return GL_SCISSOR_TEST;
    case Capability::cull_face:
        return GL_CULL_FACE;
    case Capability::lighting:
        return GL_LIGHTING;
    case Capability::point_smooth:
        return GL_POINT_SMOOTH;
    case Capability::program_point_size:
        return GL_VERTEX_PROGRAM_POINT_SIZE;
    case Capability::point_sprite:
        break;
    }
    return GL_POINT_SPRITE;
}

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

} // namespace

void GlRenderer::copy_to_texture(TextureNumber texture, int width, int height)
{
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    ctx_.bind_table_texture(texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

void GlRenderer::viewport(int x, int y, int width, int height)
{
    glViewport(x, y, width, height);
}

void GlRenderer::clear_colour(float r, float g, float b, float a)
{
    glClearColor(r, g, b, a);
}

void GlRenderer::use_program(ProgramSlot slot)
{
    if (shaders_ != nullptr)
        shaders_->use_program(slot);
}

void GlRenderer::no_program()
{
    ShaderProgram::unuse_program();
}

void GlRenderer::uniform(ProgramSlot slot, const std::string &name, float value)
{
    if (shaders_ != nullptr)
        shaders_->set_uniform_float(slot, name, value);
}

void GlRenderer::uniform_array(ProgramSlot slot, const std::string &name, std::span<const float> values)
{
    static const float nothing = 0.0f; // an empty array still hands GL a pointer
    if (shaders_ != nullptr)
        glUniform1fv(glGetUniformLocation(shaders_->program(slot), name.c_str()),
                     static_cast<GLsizei>(values.size()), values.empty() ? &nothing : values.data());
}

void GlRenderer::bind_sampler(ProgramSlot slot, int unit, const std::string &name, TextureNumber texture,
                              TextureKind kind)
{
    if (shaders_ != nullptr && RenderTargets::valid_texture_number(texture))
        shaders_->bind_texture_uniform(gl_target(kind), slot, unit, name, ctx_.textures[texture]);
}

void GlRenderer::projective_texture_matrix(ProgramSlot slot, const std::string &name,
                                           const CameraRecord &camera, double fovy, double aspect,
                                           double z_near, double z_far)
{
    ShaderProgram::set_projective_texture_matrix(slot, name, camera, fovy, aspect, z_near, z_far);
}

void GlRenderer::active_texture(int unit)
{
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
}

void GlRenderer::bind_texture(TextureNumber texture)
{
    ctx_.bind_table_texture(texture);
}

unsigned GlRenderer::swap_in_empty_texture(TextureNumber texture, int width, int height)
{
    if (!RenderTargets::valid_texture_number(texture))
        return 0;
    const GLuint kept = ctx_.textures[texture];
    GLuint stand_in = 0;
    glPushAttrib(GL_TEXTURE_BIT);
    glGenTextures(1, &stand_in);
    glBindTexture(GL_TEXTURE_2D, stand_in);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPopAttrib();
    ctx_.textures[texture] = stand_in;
    return kept;
}

void GlRenderer::matrix_mode(MatrixStack stack)
{
    glMatrixMode(gl_stack(stack));
}

void GlRenderer::load_identity()
{
    glLoadIdentity();
}

void GlRenderer::push_matrix()
{
    glPushMatrix();
}

void GlRenderer::pop_matrix()
{
    glPopMatrix();
}

void GlRenderer::perspective(double fovy, double aspect, double z_near, double z_far)
{
    gluPerspective(fovy, aspect, z_near, z_far);
}

void GlRenderer::look_at(double eye_x, double eye_y, double eye_z, double centre_x, double centre_y,
                         double centre_z, double up_x, double up_y, double up_z)
{
    gluLookAt(eye_x, eye_y, eye_z, centre_x, centre_y, centre_z, up_x, up_y, up_z);
}

void GlRenderer::look_at(const CameraRecord &c)
{
    gluLookAt(c.eye.x, c.eye.y, c.eye.z, c.centre.x, c.centre.y, c.centre.z, c.up.x, c.up.y, c.up.z);
}

void GlRenderer::scale(double x, double y, double z)
{
    glScaled(x, y, z);
}

void GlRenderer::rotate(double degrees, double x, double y, double z)
{
    glRotated(degrees, x, y, z);
}

void GlRenderer::translate(double x, double y, double z)
{
    glTranslated(x, y, z);
}

void GlRenderer::push_state(StateGroups groups)
{
    switch (groups) {
    case StateGroups::textures:
        glPushAttrib(GL_TEXTURE_BIT);
        return;
    case StateGroups::scissor_and_enables:
        glPushAttrib(GL_SCISSOR_BIT | GL_ENABLE_BIT);
        return;
    case StateGroups::all:
        break;
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
}

void GlRenderer::pop_state()
{
    glPopAttrib();
}

void GlRenderer::set(Capability capability, bool on)
{
    if (on)
        glEnable(gl_capability(capability));
    else
        glDisable(gl_capability(capability));
}

void GlRenderer::scissor(int x, int y, int width, int height)
{
    glScissor(x, y, width, height);
}

void GlRenderer::blend_function(BlendFactor source, BlendFactor destination)
{
    glBlendFunc(gl_factor(source), gl_factor(destination));
}

void GlRenderer::colour(float r, float g, float b, float a)
{
    glColor4f(r, g, b, a);
}

void GlRenderer::point_size(float size)
{
    glPointSize(size);
}

void GlRenderer::call_list(DisplayListNumber list)
{
    glCallList(static_cast<GLuint>(list.value));
}

void GlRenderer::billboard(double rotation, double half_width, double half_height, bool face_viewer,
                           float texture_repeat)
{
    draw_billboard(rotation, half_width, half_height, face_viewer, texture_repeat);
}

void GlRenderer::quad_strip(std::span<const ColouredVertex> vertices)
{
    glBegin(GL_QUAD_STRIP);
    for (const ColouredVertex &v : vertices) {
        glColor3d(v.r, v.g, v.b);
        glVertex3d(v.x, v.y, v.z);
    }
    glEnd();
}
