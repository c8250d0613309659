// ShaderProgram: every GLSL program of the show, addressed by slot number.
//
// One slot number names a fragment shader, a vertex shader and a linked
// program (three parallel tables of 10128 entries). Programs are built once
// at set-up from text files relative to the working directory; each compile
// writes the file name and the compiler's info log (cut to 999 characters)
// to standard output, which the debug console shows. Compile and link status
// are not acted upon: a broken program is stored and used like any other.
// GL objects are never deleted; rebuilding a slot leaves the old ones alive.
//
// Depends on: GL 2.0 shader entry points through GLEW, GLU (projective
// matrix). Main (GL) thread only, after GLEW is initialised.
// Limits: slots outside 0..10127 are refused with a message on standard
// output; nothing is built or bound for them.
#pragma once

#include <GL/glew.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

struct CameraRecord;

class ShaderProgram
{
  public:
    static constexpr int slot_count = 10128;

    ShaderProgram();

    // The whole file as text of file-length + 1 bytes, NUL-terminated, read
    // in binary mode (CR LF stays as it is). Nothing when the file cannot be
    // opened ("Cannot open shader source file." goes to standard output).
    // A read failure prints the stream's description and still returns the
    // (terminated) text.
    static std::optional<std::vector<char>> read_shader_source(const std::string &path);

    // Create the shader object into the slot's entry, compile, then print
    // the file name and the info log, flushed.
    void compile_fragment_shader(const std::string &path, int slot);
    void compile_vertex_shader(const std::string &path, int slot);

    // Vertex then fragment compile, link; the current program is unchanged.
    void build_program(const std::string &vertex_path, const std::string &fragment_path, int slot);
    // Fragment-only program (the fixed-function vertex stage runs); leaves
    // the new program current.
    void build_fragment_program(const std::string &fragment_path, int slot);

    // Author mode's reload: compiles and links the files into new objects
    // and checks both steps. On success they replace the slot's (the old
    // ones are deleted; the director looks programs up by slot every frame)
    // and true comes back. On failure the slot keeps its working program,
    // the new objects are deleted, and `log` says what failed (file name
    // and compiler log per shader, or the linker's log). An empty
    // `vertex_path` builds a fragment-only program. Nothing is printed and
    // the current program is left as it was.
    bool rebuild_checked(const std::string &vertex_path, const std::string &fragment_path, int slot,
                         std::string &log);

    void use_program(int slot) const;
    static void unuse_program();

    // Location looked up on every call; the slot's program must be current.
    // A name the program lacks (location -1) is ignored by GL.
    void set_uniform_float(int slot, const std::string &name, float value) const;
    // Binds `texture` (a GL name) on `target` at texture unit `unit` and
    // points the sampler `name` at that unit. Unit `unit` stays active.
    void bind_texture_uniform(GLenum target, int slot, int unit, const std::string &name,
                              GLuint texture) const;

    // Texture unit 2's matrix := bias x perspective x look-at, where bias
    // maps [-1, 1] to [0, 1]. On return the matrix mode is GL_TEXTURE and
    // unit 0 is active; no other matrix is touched. `slot` and `name` are
    // accepted for the callers' sake and do not affect the result.
    static void set_projective_texture_matrix(int slot, const std::string &name,
                                              const std::array<float, 3> &eye,
                                              const std::array<float, 3> &target,
                                              const std::array<float, 3> &up, double fovy, double aspect,
                                              double z_near, double z_far);
    // The same from a camera record (eye, centre, up).
    static void set_projective_texture_matrix(int slot, const std::string &name, const CameraRecord &camera,
                                              double fovy, double aspect, double z_near, double z_far);

    // The GL names a slot holds (0 when empty or out of range).
    GLuint program(int slot) const;
    GLuint fragment_shader(int slot) const;
    GLuint vertex_shader(int slot) const;

  private:
    void compile_shader(GLenum kind, const std::string &path, int slot);

    std::vector<GLuint> fragment_shaders_;
    std::vector<GLuint> vertex_shaders_;
    std::vector<GLuint> programs_;
};
