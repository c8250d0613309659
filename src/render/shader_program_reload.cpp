// ShaderProgram::rebuild_checked: author mode's live reload, which unlike
// the show's own build keeps the last working program when an edit breaks.
// Depends on: GL through GLEW. GL thread only.
#include "render/shader_program.h"

#include <GL/glew.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>

namespace
{
// The source as bytes; nothing for a file that cannot be read (an editor
// may be between writing and renaming it).
std::optional<std::string> read_text(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return text.str();
}

std::string shader_log(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), &written, log.data());
    log.resize(static_cast<std::size_t>(std::clamp<GLsizei>(written, 0, static_cast<GLsizei>(log.size()))));
    return log;
}

std::string program_log(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    GLsizei written = 0;
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), &written, log.data());
    log.resize(static_cast<std::size_t>(std::clamp<GLsizei>(written, 0, static_cast<GLsizei>(log.size()))));
    return log;
}

// 0 (and the reason in `log`) when the file cannot be read or compiled.
GLuint compile_checked(GLenum kind, const std::string &path, std::string &log)
{
    const std::optional<std::string> source = read_text(path);
    if (!source) {
        log += path + ": cannot be read\n";
        return 0;
    }
    const GLuint shader = glCreateShader(kind);
    const char *text = source->c_str();
    const GLint length = static_cast<GLint>(source->size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        log += path + ":\n" + shader_log(shader);
        if (log.back() != '\n')
            log += '\n';
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}
} // namespace

bool ShaderProgram::rebuild_checked(const std::string &vertex_path, const std::string &fragment_path,
                                    int slot, std::string &log)
{
    log.clear();
    if (slot < 0 || slot >= slot_count) {
        log = "program slot " + std::to_string(slot) + " is out of range\n";
        return false;
    }
    const GLuint vertex = vertex_path.empty() ? 0 : compile_checked(GL_VERTEX_SHADER, vertex_path, log);
    const GLuint fragment = compile_checked(GL_FRAGMENT_SHADER, fragment_path, log);
    const bool compiled = fragment != 0 && (vertex_path.empty() || vertex != 0);
    GLuint program = 0;
    if (compiled) {
        program = glCreateProgram();
        glAttachShader(program, fragment);
        if (vertex != 0)
            glAttachShader(program, vertex);
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            log += "program " + std::to_string(slot) + " does not link:\n" + program_log(program);
            if (log.back() != '\n')
                log += '\n';
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (program == 0) {
        // Shaders are only flagged while attached; these are not anymore.
        if (vertex != 0)
            glDeleteShader(vertex);
        if (fragment != 0)
            glDeleteShader(fragment);
        return false;
    }

    // A program that is current when deleted lives on until it is replaced.
    for (GLuint old : {vertex_shaders_[slot], fragment_shaders_[slot]})
        if (old != 0)
            glDeleteShader(old);
    if (programs_[slot] != 0)
        glDeleteProgram(programs_[slot]);
    vertex_shaders_[slot] = vertex;
    fragment_shaders_[slot] = fragment;
    programs_[slot] = program;
    return true;
}
