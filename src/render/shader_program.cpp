// ShaderProgram: reading, compiling, linking and using the show's programs.
// Depends on: GL through GLEW, GLU. See shader_program.h for the contract.
#include "render/shader_program.h"

#include <GL/glew.h>

#include "render/render_targets.h"

#include <GL/glu.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

namespace
{

// Info logs are printed through a fixed buffer: at most 999 characters.
constexpr GLsizei info_log_buffer = 1000;

bool valid_slot(int slot)
{
    if (slot >= 0 && slot < ShaderProgram::slot_count) {
        return true;
    }
    std::cout << "Shader slot " << slot << " is out of range." << std::endl;
    return false;
}

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

void print_read_failure(int error)
{
    std::cout << (error != 0 ? std::strerror(error) : "Shader source file read failed.") << std::endl;
}

// A compiler or linker log on one line: its first three lines, joined.
std::string first_lines(const std::string &log)
{
    std::string out;
    int lines = 0;
    for (std::size_t at = 0; at < log.size() && lines < 3;) {
        std::size_t end = log.find('\n', at);
        if (end == std::string::npos)
            end = log.size();
        std::string line = log.substr(at, end - at);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty()) {
            out += (out.empty() ? "" : " / ") + line;
            ++lines;
        }
        at = end + 1;
    }
    return out.empty() ? "no log" : out;
}

} // namespace

ShaderProgram::ShaderProgram()
    : fragment_shaders_(slot_count, 0), vertex_shaders_(slot_count, 0), programs_(slot_count, 0)
{
}

// ---- Sources and compilation ------------------------------------------------

std::optional<std::vector<char>> ShaderProgram::read_shader_source(const std::string &path,
                                                                   std::string *problem)
{
    const auto note = [&](std::string why) {
        if (problem != nullptr && problem->empty())
            *problem = std::move(why);
    };
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        note(file_problem(path, errno));
        std::cout << "Cannot open shader source file." << std::endl;
        return std::nullopt;
    }
    // A directory opens on Linux and claims a huge length: refuse it as
    // the read failure it would become.
    struct stat info {
    };
    if (fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
        note("is a folder, not a file");
        print_read_failure(EISDIR);
        return std::vector<char>(1, '\0');
    }
    long length = -1;
    errno = 0;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        length = std::ftell(file.get());
    }
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        // Not a seekable file (a directory, a pipe): report and hand back
        // an empty text, as for any other read failure.
        note(file_problem(path, errno));
        print_read_failure(errno);
        return std::vector<char>(1, '\0');
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    errno = 0;
    std::size_t got = std::fread(text.data(), 1, static_cast<std::size_t>(length), file.get());
    if (got != static_cast<std::size_t>(length)) {
        note(file_problem(path, std::ferror(file.get()) ? errno : EIO));
        print_read_failure(std::ferror(file.get()) ? errno : 0);
        // What was read stays; the rest is NULs, so the text ends there.
    }
    text[static_cast<std::size_t>(length)] = '\0';
    if (length == 0)
        note("is empty");
    else if (std::memchr(text.data(), '\0', got) != nullptr)
        note("is not a text file (it holds NUL bytes)");
    return text;
}

void ShaderProgram::compile_shader(GLenum kind, const std::string &path, int slot)
{
    if (!valid_slot(slot)) {
        return;
    }
    std::string problem;
    std::optional<std::vector<char>> source = read_shader_source(path, &problem);
    // A source that could not be read compiles as an empty text: the slot
    // still gets a (failed) shader and the build of the other slots goes on.
    const char *text = source ? source->data() : "";

    GLuint shader = glCreateShader(kind);
    (kind == GL_FRAGMENT_SHADER ? fragment_shaders_ : vertex_shaders_)[slot] = shader;
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);

    std::cout << path << std::endl;
    char log[info_log_buffer] = {};
    GLsizei written = 0;
    glGetShaderInfoLog(shader, info_log_buffer, &written, log);
    if (written < 0 || written >= info_log_buffer) {
        written = 0;
    }
    log[written] = '\0';
    std::cout << log << std::endl;

    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (problem.empty() && compiled != GL_TRUE)
        problem = "does not compile: " + first_lines(log);
    if (!problem.empty())
        failures_.push_back({path, problem});
}

void ShaderProgram::compile_fragment_shader(const std::string &path, int slot)
{
    compile_shader(GL_FRAGMENT_SHADER, path, slot);
}

void ShaderProgram::compile_vertex_shader(const std::string &path, int slot)
{
    compile_shader(GL_VERTEX_SHADER, path, slot);
}

// ---- Programs -------------------------------------------------------------------

void ShaderProgram::build_program(const std::string &vertex_path, const std::string &fragment_path, int slot)
{
    if (!valid_slot(slot)) {
        return;
    }
    compile_vertex_shader(vertex_path, slot);
    compile_fragment_shader(fragment_path, slot);
    programs_[slot] = glCreateProgram();
    glAttachShader(programs_[slot], fragment_shaders_[slot]);
    glAttachShader(programs_[slot], vertex_shaders_[slot]);
    glLinkProgram(programs_[slot]);
    check_link(slot, fragment_path + " (with " + vertex_path + ")");
}

void ShaderProgram::build_fragment_program(const std::string &fragment_path, int slot)
{
    if (!valid_slot(slot)) {
        return;
    }
    compile_fragment_shader(fragment_path, slot);
    programs_[slot] = glCreateProgram();
    glAttachShader(programs_[slot], fragment_shaders_[slot]);
    glLinkProgram(programs_[slot]);
    check_link(slot, fragment_path);
    use_program(slot);
}

void ShaderProgram::check_link(int slot, const std::string &files)
{
    GLint linked = GL_FALSE;
    glGetProgramiv(programs_[slot], GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE)
        return;
    // A file already listed (unreadable, not compiling) is the reason.
    for (const LoadFailure &f : failures_)
        if (files.find(f.file) != std::string::npos)
            return;
    char log[info_log_buffer] = {};
    GLsizei written = 0;
    glGetProgramInfoLog(programs_[slot], info_log_buffer, &written, log);
    if (written < 0 || written >= info_log_buffer)
        written = 0;
    log[written] = '\0';
    failures_.push_back({files, "does not link: " + first_lines(log)});
}

LoadFailures ShaderProgram::take_failures()
{
    LoadFailures out;
    out.swap(failures_);
    return out;
}

void ShaderProgram::use_program(int slot) const
{
    if (valid_slot(slot)) {
        glUseProgram(programs_[slot]);
    }
}

void ShaderProgram::unuse_program()
{
    glUseProgram(0);
}

// ---- Uniforms -------------------------------------------------------------------

void ShaderProgram::set_uniform_float(int slot, const std::string &name, float value) const
{
    if (!valid_slot(slot)) {
        return;
    }
    glUniform1f(glGetUniformLocation(programs_[slot], name.c_str()), value);
}

void ShaderProgram::bind_texture_uniform(GLenum target, int slot, int unit, const std::string &name,
                                         GLuint texture) const
{
    if (!valid_slot(slot)) {
        return;
    }
    GLint location = glGetUniformLocation(programs_[slot], name.c_str());
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(target, texture);
    glUniform1i(location, unit);
}

// ---- Projective texturing -------------------------------------------------------

void ShaderProgram::set_projective_texture_matrix(int, const std::string &, const std::array<float, 3> &eye,
                                                  const std::array<float, 3> &target,
                                                  const std::array<float, 3> &up, double fovy, double aspect,
                                                  double z_near, double z_far)
{
    // No push or pop here: only unit 2's texture matrix is written, so the
    // caller's matrices (and the stack depths) stay as they were.
    glMatrixMode(GL_TEXTURE);
    glActiveTexture(GL_TEXTURE2);
    glLoadIdentity();
    glTranslatef(0.5f, 0.5f, 0.5f);
    glScalef(0.5f, 0.5f, 0.5f);
    gluPerspective(fovy, aspect, z_near, z_far);
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
    glMatrixMode(GL_TEXTURE);
    glActiveTexture(GL_TEXTURE0);
}

void ShaderProgram::set_projective_texture_matrix(int slot, const std::string &name,
                                                  const CameraRecord &camera, double fovy, double aspect,
                                                  double z_near, double z_far)
{
    set_projective_texture_matrix(slot, name, {camera.eye.x, camera.eye.y, camera.eye.z},
                                  {camera.centre.x, camera.centre.y, camera.centre.z},
                                  {camera.up.x, camera.up.y, camera.up.z}, fovy, aspect, z_near, z_far);
}

// ---- Table access ---------------------------------------------------------------

bool ShaderProgram::declares_uniform(int slot, const std::string &name) const
{
    const GLuint p = program(slot);
    if (p == 0 || glIsProgram(p) == GL_FALSE)
        return false;
    GLint linked = GL_FALSE;
    glGetProgramiv(p, GL_LINK_STATUS, &linked);
    return linked == GL_TRUE && glGetUniformLocation(p, name.c_str()) != -1;
}

GLuint ShaderProgram::program(int slot) const
{
    return slot >= 0 && slot < slot_count ? programs_[slot] : 0;
}

GLuint ShaderProgram::fragment_shader(int slot) const
{
    return slot >= 0 && slot < slot_count ? fragment_shaders_[slot] : 0;
}

GLuint ShaderProgram::vertex_shader(int slot) const
{
    return slot >= 0 && slot < slot_count ? vertex_shaders_[slot] : 0;
}
