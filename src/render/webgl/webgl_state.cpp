// The CPU side of GL 2's fixed-function state for WebGL2, and the hooks
// the portable render files call through compat/GL/glew.h.
#include "render/webgl/webgl_state.h"

#include "render/glsl_es_translation.h"
#include "render/webgl/webgl_hooks.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

// The fixed-function vertex stage as the show's fragment-only programs and
// the built-in program see it, with the point size GL 2 gave every point.
const char *const fixed_vertex_source = "#version 120\n"
                                        "void main()\n"
                                        "{\n"
                                        "    gl_Position = ftransform();\n"
                                        "    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;\n"
                                        "    gl_FrontColor = gl_Color;\n"
                                        "    gl_PointSize = gl_Point.size;\n"
                                        "}\n";

// Draws with no program: the colour, times texture unit 0 while 2-D
// texturing is on (the letterbox, the fades, the loading screen's quads).
const char *const built_in_fragment_source =
    "#version 300 es\n"
    "precision highp float;\n"
    "uniform sampler2D vellamor_Texture0;\n"
    "uniform float vellamor_Textured;\n"
    "in vec4 vellamor_TexCoord0;\n"
    "in vec4 vellamor_FrontColor;\n"
    "layout(location = 0) out vec4 vellamor_FragColor;\n"
    "void main()\n"
    "{\n"
    "    vec4 c = vellamor_FrontColor;\n"
    "    if (vellamor_Textured > 0.5)\n"
    "        c *= texture(vellamor_Texture0, vellamor_TexCoord0.st);\n"
    "    vellamor_FragColor = c;\n"
    "}\n";

std::unordered_map<GLuint, std::vector<EsTranslation::UniformDefault>> &uniform_defaults()
{
    static std::unordered_map<GLuint, std::vector<EsTranslation::UniformDefault>> defaults;
    return defaults;
}

GLuint compile(GLenum kind, const std::string &text)
{
    const GLuint shader = glCreateShader(kind);
    const char *p = text.c_str();
    glShaderSource(shader, 1, &p, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1000] = {};
        glGetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
        std::fprintf(stderr, "webgl: built-in shader does not compile: %s\n", log);
    }
    return shader;
}

GLuint fixed_vertex_shader()
{
    static GLuint shader =
        compile(GL_VERTEX_SHADER, translate_to_glsl_es(fixed_vertex_source, ShaderStage::vertex).text);
    return shader;
}

void bind_stand_in_attributes(GLuint program)
{
    glBindAttribLocation(program, webgl_attribute::vertex, "vellamor_Vertex");
    glBindAttribLocation(program, webgl_attribute::normal, "vellamor_Normal");
    glBindAttribLocation(program, webgl_attribute::colour, "vellamor_Color");
    for (int n = 0; n < webgl_attribute::tex_coord_sets; ++n)
        glBindAttribLocation(program, webgl_attribute::tex_coord0 + static_cast<GLuint>(n),
                             ("vellamor_MultiTexCoord" + std::to_string(n)).c_str());
}

std::array<float, 16> to_float(const Matrix4 &m)
{
    std::array<float, 16> f{};
    for (int i = 0; i < 16; ++i)
        f[static_cast<std::size_t>(i)] = static_cast<float>(m[static_cast<std::size_t>(i)]);
    return f;
}

// The inverse transpose of the upper-left 3 x 3, as gl_NormalMatrix.
std::array<float, 9> normal_matrix(const Matrix4 &m)
{
    const double a = m[0], b = m[4], c = m[8];
    const double d = m[1], e = m[5], f = m[9];
    const double g = m[2], h = m[6], i = m[10];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    const double s = det != 0.0 ? 1.0 / det : 0.0;
    // Inverse (row-major r[row][col]) transposed, stored column-major.
    const double inv[3][3] = {{(e * i - f * h) * s, (c * h - b * i) * s, (b * f - c * e) * s},
                              {(f * g - d * i) * s, (a * i - c * g) * s, (c * d - a * f) * s},
                              {(d * h - e * g) * s, (b * g - a * h) * s, (a * e - b * d) * s}};
    std::array<float, 9> out{};
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            out[static_cast<std::size_t>(col * 3 + row)] = static_cast<float>(inv[col][row]);
    return out;
}

} // namespace

WebGlState &WebGlState::current()
{
    static WebGlState state;
    return state;
}

WebGlState::WebGlState() : projection_{identity_matrix()}, modelview_{identity_matrix()}
{
    for (auto &t : texture_)
        t = {identity_matrix()};
}

std::vector<Matrix4> &WebGlState::stack()
{
    if (mode_ == webgl_projection)
        return projection_;
    if (mode_ == webgl_texture)
        return texture_[std::min<std::size_t>(attributes.active_unit, texture_units - 1)];
    return modelview_;
}

Matrix4 &WebGlState::top()
{
    return stack().back();
}

void WebGlState::push_matrix()
{
    auto &s = stack();
    s.push_back(s.back());
}

void WebGlState::pop_matrix()
{
    auto &s = stack();
    if (s.size() > 1)
        s.pop_back();
}

void WebGlState::push_attributes(bool textures_only, bool scissor_and_enables_only)
{
    saved_.push_back(attributes);
    saved_kind_.push_back(textures_only ? 1 : scissor_and_enables_only ? 2 : 0);
}

void WebGlState::pop_attributes()
{
    if (saved_.empty())
        return;
    const WebGlAttributes s = saved_.back();
    const int kind = saved_kind_.back();
    saved_.pop_back();
    saved_kind_.pop_back();
    if (kind == 0 || kind == 1) {
        for (int u = 0; u < texture_units; ++u) {
            glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(u));
            glBindTexture(GL_TEXTURE_2D, s.texture_2d_bindings[static_cast<std::size_t>(u)]);
        }
        attributes.texture_2d_bindings = s.texture_2d_bindings;
        active_texture(GL_TEXTURE0 + s.active_unit);
        attributes.texture_2d = s.texture_2d;
    }
    if (kind == 0 || kind == 2) {
        enable(GL_BLEND, s.blend);
        enable(GL_DEPTH_TEST, s.depth_test);
        enable(GL_SCISSOR_TEST, s.scissor_test);
        enable(GL_CULL_FACE, s.cull_face);
        attributes.texture_2d = s.texture_2d;
        attributes.lighting = s.lighting;
        attributes.scissor_box = s.scissor_box;
        glScissor(s.scissor_box[0], s.scissor_box[1], s.scissor_box[2], s.scissor_box[3]);
    }
    if (kind == 0) {
        attributes.colour = s.colour;
        attributes.point_size = s.point_size;
        attributes.blend_source = s.blend_source;
        attributes.blend_destination = s.blend_destination;
        glBlendFunc(s.blend_source, s.blend_destination);
        viewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
        attributes.clear_colour = s.clear_colour;
        glClearColor(s.clear_colour[0], s.clear_colour[1], s.clear_colour[2], s.clear_colour[3]);
    }
}

void WebGlState::enable(GLenum capability, bool on)
{
    switch (capability) {
    case GL_BLEND:
        attributes.blend = on;
        break;
    case GL_DEPTH_TEST:
        attributes.depth_test = on;
        break;
    case GL_SCISSOR_TEST:
        attributes.scissor_test = on;
        break;
    case GL_CULL_FACE:
        attributes.cull_face = on;
        break;
    default:
        return;
    }
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

void WebGlState::bind_texture_2d(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    attributes.texture_2d_bindings[std::min<std::size_t>(attributes.active_unit, texture_units - 1)] =
        texture;
}

void WebGlState::active_texture(GLenum unit)
{
    glActiveTexture(unit);
    attributes.active_unit = unit - GL_TEXTURE0;
}

void WebGlState::viewport(GLint x, GLint y, GLsizei w, GLsizei h)
{
    attributes.viewport = {x, y, w, h};
    glViewport(x, y, w, h);
}

void WebGlState::use_program(GLuint program)
{
    program_ = program;
    glUseProgram(program);
}

const WebGlState::ProgramLocations &WebGlState::locations(GLuint program)
{
    auto found = locations_.find(program);
    if (found != locations_.end())
        return found->second;
    ProgramLocations l;
    l.model_view = glGetUniformLocation(program, "vellamor_ModelViewMatrix");
    l.projection = glGetUniformLocation(program, "vellamor_ProjectionMatrix");
    l.mvp = glGetUniformLocation(program, "vellamor_ModelViewProjectionMatrix");
    l.normal = glGetUniformLocation(program, "vellamor_NormalMatrix");
    l.point_size = glGetUniformLocation(program, "vellamor_PointSize");
    for (int n = 0; n < texture_units; ++n)
        l.texture_matrix[static_cast<std::size_t>(n)] =
            glGetUniformLocation(program, ("vellamor_TextureMatrix" + std::to_string(n)).c_str());
    l.textured = glGetUniformLocation(program, "vellamor_Textured");
    l.sampler = glGetUniformLocation(program, "vellamor_Texture0");
    return locations_.emplace(program, l).first->second;
}

void WebGlState::prepare_draw(unsigned arrays)
{
    if (vertex_array_ == 0) {
        glGenVertexArrays(1, &vertex_array_);
        glBindVertexArray(vertex_array_);
    }
    GLuint program = program_;
    if (program == 0) {
        if (built_in_ == 0) {
            built_in_ = glCreateProgram();
            glAttachShader(built_in_, fixed_vertex_shader());
            glAttachShader(built_in_, compile(GL_FRAGMENT_SHADER, built_in_fragment_source));
            bind_stand_in_attributes(built_in_);
            glLinkProgram(built_in_);
        }
        program = built_in_;
        glUseProgram(program);
    }
    const ProgramLocations &l = locations(program);
    const Matrix4 &mv = modelview_.back();
    const Matrix4 &p = projection_.back();
    if (l.model_view >= 0)
        glUniformMatrix4fv(l.model_view, 1, GL_FALSE, to_float(mv).data());
    if (l.projection >= 0)
        glUniformMatrix4fv(l.projection, 1, GL_FALSE, to_float(p).data());
    if (l.mvp >= 0)
        glUniformMatrix4fv(l.mvp, 1, GL_FALSE, to_float(multiply(p, mv)).data());
    if (l.normal >= 0)
        glUniformMatrix3fv(l.normal, 1, GL_FALSE, normal_matrix(mv).data());
    if (l.point_size >= 0)
        glUniform1f(l.point_size, attributes.point_size);
    for (int n = 0; n < texture_units; ++n)
        if (l.texture_matrix[static_cast<std::size_t>(n)] >= 0)
            glUniformMatrix4fv(l.texture_matrix[static_cast<std::size_t>(n)], 1, GL_FALSE,
                               to_float(texture_[static_cast<std::size_t>(n)].back()).data());
    if (l.textured >= 0)
        glUniform1f(l.textured, attributes.texture_2d ? 1.0f : 0.0f);
    if (l.sampler >= 0)
        glUniform1i(l.sampler, 0);

    for (GLuint a = 0; a < webgl_attribute::tex_coord0 + webgl_attribute::tex_coord_sets; ++a) {
        if ((arrays & (1u << a)) != 0) {
            glEnableVertexAttribArray(a);
            continue;
        }
        glDisableVertexAttribArray(a);
        if (a == webgl_attribute::colour)
            glVertexAttrib4f(a, attributes.colour[0], attributes.colour[1], attributes.colour[2],
                             attributes.colour[3]);
        else if (a == webgl_attribute::normal)
            glVertexAttrib4f(a, 0.0f, 0.0f, 1.0f, 1.0f);
        else
            glVertexAttrib4f(a, 0.0f, 0.0f, 0.0f, 1.0f);
    }
}

GLuint WebGlState::stream_buffer()
{
    if (stream_buffer_ == 0)
        glGenBuffers(1, &stream_buffer_);
    return stream_buffer_;
}

// ---- Hooks -----------------------------------------------------------------

void webgl_tex_image_2d(GLenum target, GLint level, GLint internal, GLsizei width, GLsizei height,
                        GLint border, GLenum format, GLenum type, const void *pixels)
{
    if (internal == 3)
        internal = GL_RGB;
    else if (internal == 4)
        internal = GL_RGBA;
    glTexImage2D(target, level, internal, width, height, border, format, type, pixels);
    if (format == GL_DEPTH_COMPONENT) {
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
}

void webgl_tex_parameteri(GLenum target, GLenum name, GLint value)
{
    if (name == 0x884B) // GL_DEPTH_TEXTURE_MODE
        return;
    glTexParameteri(target, name, value);
}

void webgl_draw_buffer(GLenum buffer)
{
    if (buffer < GL_COLOR_ATTACHMENT0 || buffer > GL_COLOR_ATTACHMENT0 + 7) {
        glDrawBuffers(1, &buffer);
        return;
    }
    std::array<GLenum, 8> list{};
    const GLuint n = buffer - GL_COLOR_ATTACHMENT0;
    for (GLuint k = 0; k < n; ++k)
        list[k] = GL_NONE;
    list[n] = buffer;
    glDrawBuffers(static_cast<GLsizei>(n + 1), list.data());
}

void webgl_shader_source(GLuint shader, GLsizei count, const GLchar *const *text, const GLint *length)
{
    std::string source;
    for (GLsizei k = 0; k < count; ++k)
        source += length != nullptr && length[k] >= 0
                      ? std::string(text[k], static_cast<std::size_t>(length[k]))
                      : std::string(text[k]);
    // The desktop's reader hands over the terminating NUL as part of the text.
    while (!source.empty() && source.back() == '\0')
        source.pop_back();
    GLint kind = GL_FRAGMENT_SHADER;
    glGetShaderiv(shader, GL_SHADER_TYPE, &kind);
    const EsTranslation es =
        translate_to_glsl_es(source, kind == GL_VERTEX_SHADER ? ShaderStage::vertex : ShaderStage::fragment);
    std::string out = es.text;
    if (!es.error.empty()) {
        // Compiles to a failure whose log is the translator's reason.
        std::string reason = es.error;
        for (char &c : reason)
            if (c == '\n' || c == '\r')
                c = ' ';
        out = "#version 300 es\n#error cannot translate: " + reason + "\n";
    }
    uniform_defaults()[shader] = es.uniform_defaults;
    const char *p = out.c_str();
    glShaderSource(shader, 1, &p, nullptr);
}

void webgl_link_program(GLuint program)
{
    GLuint shaders[8] = {};
    GLsizei count = 0;
    glGetAttachedShaders(program, 8, &count, shaders);
    bool has_vertex = false;
    for (GLsizei k = 0; k < count; ++k) {
        GLint kind = 0;
        glGetShaderiv(shaders[k], GL_SHADER_TYPE, &kind);
        has_vertex = has_vertex || kind == GL_VERTEX_SHADER;
    }
    if (!has_vertex)
        glAttachShader(program, fixed_vertex_shader());
    bind_stand_in_attributes(program);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE)
        return;
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program);
    for (GLsizei k = 0; k < count; ++k)
        for (const auto &d : uniform_defaults()[shaders[k]])
            glUniform1f(glGetUniformLocation(program, d.name.c_str()), std::strtof(d.value.c_str(), nullptr));
    glUseProgram(static_cast<GLuint>(previous));
}

void webgl_use_program(GLuint program)
{
    WebGlState::current().use_program(program);
}

void webgl_active_texture(GLenum unit)
{
    WebGlState::current().active_texture(unit);
}

void webgl_bind_texture(GLenum target, GLuint texture)
{
    if (target == GL_TEXTURE_2D)
        WebGlState::current().bind_texture_2d(texture);
    else
        glBindTexture(target, texture);
}

void webgl_matrix_mode(GLenum mode)
{
    WebGlState::current().matrix_mode(mode);
}

void webgl_load_identity()
{
    WebGlState::current().top() = identity_matrix();
}

void webgl_translate(GLfloat x, GLfloat y, GLfloat z)
{
    WebGlState::current().multiply_top(translation_matrix(x, y, z));
}

void webgl_scale(GLfloat x, GLfloat y, GLfloat z)
{
    WebGlState::current().multiply_top(scale_matrix(x, y, z));
}

void webgl_perspective(double fovy, double aspect, double z_near, double z_far)
{
    WebGlState::current().multiply_top(perspective_matrix(fovy, aspect, z_near, z_far));
}

void webgl_look_at(double eye_x, double eye_y, double eye_z, double centre_x, double centre_y,
                   double centre_z, double up_x, double up_y, double up_z)
{
    WebGlState::current().multiply_top(
        look_at_matrix({eye_x, eye_y, eye_z}, {centre_x, centre_y, centre_z}, {up_x, up_y, up_z}));
}
