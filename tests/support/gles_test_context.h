// A GLSL ES 3.00 compiler for tests: one hidden window with an OpenGL ES 3.0
// context (Mesa offers one through SDL under Xvfb), made on first use and kept
// for the process. Shaders for the browser are compiled and linked here, by a
// real ES compiler, without a browser. Main thread only.
#pragma once

#include <string>

struct GlesLinkResult {
    bool ok = false;
    std::string log; // which stage failed and the driver's log
};

// Empty when the context is there; otherwise why it is not.
std::string gles_context_problem();
// GL_RENDERER and GL_VERSION of the context.
std::string gles_renderer();
// Compiles both stages and links them; the objects are deleted afterwards.
GlesLinkResult gles_compile_and_link(const std::string &vertex_source, const std::string &fragment_source);
