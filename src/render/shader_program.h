// ShaderProgram: every GLSL program of the show, addressed by slot number.
//
// One slot number names a fragment shader, a vertex shader and a linked
// program (three parallel tables of 10128 entries). Programs are built once
// at set-up from text files relative to the working directory; each compile
// writes the file name and the compiler's info log (cut to 999 characters)
// to standard output, which the debug console shows. A broken program is
// stored and used like any other; what failed (a file that cannot be read,
// is empty, does not compile or link) is kept as a list of failures for
// the caller, who decides what it means for the run.
// GL objects are never deleted; rebuilding a slot leaves the old ones alive.
//
// Depends on: GL 2.0 shader entry points through GLEW, GLU (projective
// matrix), in its sources only: GL objects are plain unsigned numbers
// here. Main (GL) thread only, after GLEW is initialised.
// Limits: slots outside 0..10127 are refused with a message on standard
// output; nothing is built or bound for them.
#pragma once

#include "render/load_failures.h"
#include "render/resource_numbers.h"

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
    // (terminated) text. With `problem`, the first thing wrong with the
    // file goes there in the user's words (missing, a folder, unreadable,
    // empty, NUL bytes); it is left alone when the file is fine.
    static std::optional<std::vector<char>> read_shader_source(const std::string &path,
                                                               std::string *problem = nullptr);

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
    void bind_texture_uniform(unsigned target, int slot, int unit, const std::string &name,
                              unsigned texture) const;

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

    // The files that failed since the last take, in build order, and the
    // reasons ("does not compile: 0:3(1): error: ..."). Emptied by the take.
    LoadFailures take_failures();

    // Whether the slot's linked program has an active uniform `name` (a
    // name it declares and uses). False for an empty or unlinked slot.
    bool declares_uniform(int slot, const std::string &name) const;
    bool declares_uniform(ProgramSlot slot, const std::string &name) const
    {
        return declares_uniform(slot.value, name);
    }

    // The GL names a slot holds (0 when empty or out of range).
    unsigned program(int slot) const;
    unsigned fragment_shader(int slot) const;
    unsigned vertex_shader(int slot) const;

    // The same operations by the show's typed slot numbers.
    void build_program(const std::string &vertex_path, const std::string &fragment_path, ProgramSlot slot)
    {
        build_program(vertex_path, fragment_path, slot.value);
    }
    void build_fragment_program(const std::string &fragment_path, ProgramSlot slot)
    {
        build_fragment_program(fragment_path, slot.value);
    }
    void use_program(ProgramSlot slot) const { use_program(slot.value); }
    void set_uniform_float(ProgramSlot slot, const std::string &name, float value) const
    {
        set_uniform_float(slot.value, name, value);
    }
    void bind_texture_uniform(unsigned target, ProgramSlot slot, int unit, const std::string &name,
                              unsigned texture) const
    {
        bind_texture_uniform(target, slot.value, unit, name, texture);
    }
    unsigned program(ProgramSlot slot) const { return program(slot.value); }
    unsigned fragment_shader(ProgramSlot slot) const { return fragment_shader(slot.value); }
    unsigned vertex_shader(ProgramSlot slot) const { return vertex_shader(slot.value); }
    static void set_projective_texture_matrix(ProgramSlot slot, const std::string &name,
                                              const CameraRecord &camera, double fovy, double aspect,
                                              double z_near, double z_far)
    {
        set_projective_texture_matrix(slot.value, name, camera, fovy, aspect, z_near, z_far);
    }

  private:
    void compile_shader(unsigned kind, const std::string &path, int slot);
    void check_link(int slot, const std::string &files);

    std::vector<unsigned> fragment_shaders_;
    std::vector<unsigned> vertex_shaders_;
    std::vector<unsigned> programs_;
    LoadFailures failures_;
};
