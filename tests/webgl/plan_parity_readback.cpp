#include "plan_parity_readback.h"

#include "render/render_targets.h"

#ifdef VELLAMOR_PARITY_GLES
#include <GLES3/gl3.h>
#else
#include <GL/glew.h>
#endif

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

std::string numbers(const float *v, int n)
{
    std::string out;
    char buffer[32];
    for (int k = 0; k < n; ++k) {
        std::snprintf(buffer, sizeof buffer, " %.9g", static_cast<double>(v[k]));
        out += buffer;
    }
    return out;
}

int components(GLenum type)
{
    switch (type) {
    case GL_FLOAT:
        return 1;
    case GL_FLOAT_VEC2:
        return 2;
    case GL_FLOAT_VEC3:
        return 3;
    case GL_FLOAT_VEC4:
    case GL_FLOAT_MAT2:
        return 4;
    case GL_FLOAT_MAT3:
        return 9;
    case GL_FLOAT_MAT4:
        return 16;
    default:
        return 0;
    }
}

// The binding a sampler of `type` reads on its unit; 0 when not a sampler.
GLenum sampler_binding(GLenum type)
{
    switch (type) {
#ifndef VELLAMOR_PARITY_GLES
    case GL_SAMPLER_1D:
    case GL_SAMPLER_1D_SHADOW:
        return GL_TEXTURE_BINDING_1D;
#endif
    case GL_SAMPLER_2D:
    case GL_SAMPLER_2D_SHADOW:
        return GL_TEXTURE_BINDING_2D;
    case GL_SAMPLER_CUBE:
        return GL_TEXTURE_BINDING_CUBE_MAP;
    default:
        return 0;
    }
}

std::string texture_number(GLuint name, const TextureTable &textures)
{
    if (name == 0)
        return "none";
    for (int n = 0; n < TextureTable::size; ++n)
        if (textures[TextureNumber{n}] == name)
            return std::to_string(n);
    return "unknown";
}

GLuint bound_on_unit(int unit, GLenum binding)
{
    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glGetIntegerv(binding, &bound);
    glActiveTexture(static_cast<GLenum>(active));
    return static_cast<GLuint>(bound);
}

#ifndef VELLAMOR_PARITY_GLES
using Matrix = std::array<double, 16>;

Matrix gl_matrix(GLenum which)
{
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    Matrix out{};
    std::copy(m.begin(), m.end(), out.begin());
    return out;
}

Matrix product(const Matrix &a, const Matrix &b)
{
    Matrix out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                out[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return out;
}

std::string fixed_line(const std::string &name, const double *v, int n)
{
    std::vector<float> f(v, v + n);
    return "fixed " + name + numbers(f.data(), n);
}

// GL 2's fixed-function state under the stand-in names the GLES 3 backend
// gives it: the inverse transpose of the modelview's upper 3 x 3 is the
// normal matrix.
std::vector<std::string> fixed_function_lines()
{
    const Matrix mv = gl_matrix(GL_MODELVIEW_MATRIX);
    const Matrix p = gl_matrix(GL_PROJECTION_MATRIX);
    const Matrix mvp = product(p, mv);
    std::vector<std::string> lines{fixed_line("vellamor_ModelViewMatrix", mv.data(), 16),
                                   fixed_line("vellamor_ProjectionMatrix", p.data(), 16),
                                   fixed_line("vellamor_ModelViewProjectionMatrix", mvp.data(), 16)};
    const auto a = [&mv](int r, int c) { return mv[static_cast<std::size_t>(c * 4 + r)]; };
    const double det = a(0, 0) * (a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1)) -
                       a(0, 1) * (a(1, 0) * a(2, 2) - a(1, 2) * a(2, 0)) +
                       a(0, 2) * (a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0));
    std::array<double, 9> normal{}; // column-major: normal[c * 3 + r] = cofactor(r, c) / det
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            normal[static_cast<std::size_t>(c * 3 + r)] =
                (a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1)) / det;
        }
    lines.push_back(fixed_line("vellamor_NormalMatrix", normal.data(), 9));
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    for (int unit = 0; unit < 4; ++unit) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        const Matrix t = gl_matrix(GL_TEXTURE_MATRIX);
        lines.push_back(fixed_line("vellamor_TextureMatrix" + std::to_string(unit), t.data(), 16));
    }
    glActiveTexture(static_cast<GLenum>(active));
    GLfloat size = 0.0f;
    glGetFloatv(GL_POINT_SIZE, &size);
    lines.push_back("fixed vellamor_PointSize" + numbers(&size, 1));
    return lines;
}
#endif

} // namespace

std::string program_state_record(unsigned program, const TextureTable &textures)
{
    std::vector<std::string> lines;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char raw[256] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), sizeof raw - 1, nullptr, &size, &type, raw);
        std::string name = raw;
        if (name.rfind("gl_", 0) == 0)
            continue; // GL 2's built-in state: compared below as the stand-ins
        if (name.size() > 3 && name.compare(name.size() - 3, 3, "[0]") == 0)
            name.resize(name.size() - 3);
        const bool stand_in = name.rfind("vellamor_", 0) == 0;
        if (const GLenum binding = sampler_binding(type); binding != 0) {
            if (stand_in)
                continue; // the built-in program's own texture
            GLint unit = -1;
            glGetUniformiv(program, glGetUniformLocation(program, name.c_str()), &unit);
            lines.push_back("sampler " + name + " unit " + std::to_string(unit) + " texture " +
                            texture_number(bound_on_unit(unit, binding), textures));
            continue;
        }
        const int n = components(type);
        if (n == 0) {
            lines.push_back("uniform " + name + " of-an-unread-type " + std::to_string(type));
            continue;
        }
        std::string values;
        for (GLint e = 0; e < size; ++e) {
            const std::string element = size > 1 ? name + "[" + std::to_string(e) + "]" : name;
            std::array<float, 16> v{};
            glGetUniformfv(program, glGetUniformLocation(program, element.c_str()), v.data());
            values += numbers(v.data(), n);
        }
        lines.push_back((stand_in ? "fixed " : "uniform ") + name + values);
    }
#ifndef VELLAMOR_PARITY_GLES
    for (std::string &line : fixed_function_lines())
        lines.push_back(std::move(line));
#endif
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string &line : lines)
        out += line + "\n";
    return out;
}
