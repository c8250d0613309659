#include "support/gles_test_context.h"

#include <SDL.h>

#include <vector>

namespace
{

// The few ES entry points the tests use, by their C types (no GL header: the
// desktop GLEW header and the ES headers do not mix).
using Uint = unsigned int;
constexpr Uint fragment_shader = 0x8B30, vertex_shader = 0x8B31, compile_status = 0x8B81,
               link_status = 0x8B82, renderer = 0x1F01, version = 0x1F02;

struct Entry {
    Uint (*create_shader)(Uint);
    void (*shader_source)(Uint, int, const char *const *, const int *);
    void (*compile_shader)(Uint);
    void (*get_shader_iv)(Uint, Uint, int *);
    void (*get_shader_info_log)(Uint, int, int *, char *);
    void (*delete_shader)(Uint);
    Uint (*create_program)();
    void (*attach_shader)(Uint, Uint);
    void (*link_program)(Uint);
    void (*get_program_iv)(Uint, Uint, int *);
    void (*get_program_info_log)(Uint, int, int *, char *);
    void (*delete_program)(Uint);
    const unsigned char *(*get_string)(Uint);
};

struct Context {
    SDL_Window *window = nullptr;
    SDL_GLContext gl = nullptr;
    Entry entry{};
    std::string problem;
};

template <typename F> bool load(F &f, const char *name)
{
    f = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
    return f != nullptr;
}

Context &context()
{
    static Context c = [] {
        Context made;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            made.problem = std::string("SDL video: ") + SDL_GetError();
            return made;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
        made.window = SDL_CreateWindow("gles test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 64, 64,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (made.window == nullptr) {
            made.problem = std::string("window: ") + SDL_GetError();
            return made;
        }
        made.gl = SDL_GL_CreateContext(made.window);
        if (made.gl == nullptr) {
            made.problem = std::string("GLES 3 context: ") + SDL_GetError();
            return made;
        }
        Entry &e = made.entry;
        const bool all =
            load(e.create_shader, "glCreateShader") && load(e.shader_source, "glShaderSource") &&
            load(e.compile_shader, "glCompileShader") && load(e.get_shader_iv, "glGetShaderiv") &&
            load(e.get_shader_info_log, "glGetShaderInfoLog") && load(e.delete_shader, "glDeleteShader") &&
            load(e.create_program, "glCreateProgram") && load(e.attach_shader, "glAttachShader") &&
            load(e.link_program, "glLinkProgram") && load(e.get_program_iv, "glGetProgramiv") &&
            load(e.get_program_info_log, "glGetProgramInfoLog") &&
            load(e.delete_program, "glDeleteProgram") && load(e.get_string, "glGetString");
        if (!all)
            made.problem = "GLES 3 entry points missing";
        return made;
    }();
    return c;
}

std::string shader_log(const Entry &e, Uint shader)
{
    std::vector<char> text(4096);
    int length = 0;
    e.get_shader_info_log(shader, static_cast<int>(text.size()), &length, text.data());
    return std::string(text.data(), static_cast<size_t>(length));
}

} // namespace

std::string gles_context_problem()
{
    return context().problem;
}

std::string gles_renderer()
{
    const Context &c = context();
    if (!c.problem.empty())
        return {};
    return std::string(reinterpret_cast<const char *>(c.entry.get_string(renderer))) + ", " +
           reinterpret_cast<const char *>(c.entry.get_string(version));
}

GlesLinkResult gles_compile_and_link(const std::string &vertex_source, const std::string &fragment_source)
{
    Context &c = context();
    if (!c.problem.empty())
        return {false, c.problem};
    const Entry &e = c.entry;
    SDL_GL_MakeCurrent(c.window, c.gl);
    GlesLinkResult result;
    Uint shaders[2] = {};
    const std::string *sources[2] = {&vertex_source, &fragment_source};
    const Uint kinds[2] = {vertex_shader, fragment_shader};
    bool compiled = true;
    for (int i = 0; i < 2; ++i) {
        shaders[i] = e.create_shader(kinds[i]);
        const char *text = sources[i]->c_str();
        e.shader_source(shaders[i], 1, &text, nullptr);
        e.compile_shader(shaders[i]);
        int ok = 0;
        e.get_shader_iv(shaders[i], compile_status, &ok);
        if (!ok) {
            compiled = false;
            result.log += (i == 0 ? "vertex: " : "fragment: ") + shader_log(e, shaders[i]);
        }
    }
    if (compiled) {
        const Uint program = e.create_program();
        e.attach_shader(program, shaders[0]);
        e.attach_shader(program, shaders[1]);
        e.link_program(program);
        int ok = 0;
        e.get_program_iv(program, link_status, &ok);
        if (ok) {
            result.ok = true;
        } else {
            std::vector<char> text(4096);
            int length = 0;
            e.get_program_info_log(program, static_cast<int>(text.size()), &length, text.data());
            result.log = "link: " + std::string(text.data(), static_cast<size_t>(length));
        }
        e.delete_program(program);
    }
    e.delete_shader(shaders[0]);
    e.delete_shader(shaders[1]);
    return result;
}
