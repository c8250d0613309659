#include "support/gl_test_context.h"

#include <SDL.h>

namespace
{
SDL_Window *window = nullptr;
SDL_GLContext context = nullptr;
std::string why_not; // why there is no context, for the failure message

bool open_window()
{
    if (window != nullptr)
        return true;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        why_not = std::string("SDL video: ") + SDL_GetError();
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    window = SDL_CreateWindow("gl test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, GlTest::width,
                              GlTest::height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        why_not = std::string("window: ") + SDL_GetError();
        return false;
    }
    return true;
}
} // namespace

void GlTest::SetUpTestSuite()
{
    if (context != nullptr || !open_window())
        return;
    context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        why_not = std::string("GL context: ") + SDL_GetError();
        return;
    }
    glewExperimental = GL_TRUE;
    const GLenum glew = glewInit();
    if (glew != GLEW_OK) {
        why_not = std::string("GLEW: ") + reinterpret_cast<const char *>(glewGetErrorString(glew));
        SDL_GL_DeleteContext(context);
        context = nullptr;
        return;
    }
    take_gl_error(); // glewInit may leave an enum error behind
}

void GlTest::TearDownTestSuite()
{
    if (context != nullptr)
        SDL_GL_DeleteContext(context);
    context = nullptr;
}

void GlTest::SetUp()
{
    SetUpTestSuite(); // a no-op unless the suite's own set-up skipped it
    ASSERT_NE(context, nullptr) << "no GL context: " << why_not;
    ASSERT_EQ(SDL_GL_MakeCurrent(window, context), 0) << SDL_GetError();
    take_gl_error();
}

void GlTest::TearDown()
{
    // Every GL test fails on a GL error it leaves in the queue: a pass that
    // binds or sets something invalid shows up here even when its pixels
    // look right. A test that provokes an error on purpose takes it itself.
    if (context == nullptr || SDL_GL_GetCurrentContext() != context)
        return;
    const GLenum error = take_gl_error();
    EXPECT_EQ(error, static_cast<GLenum>(GL_NO_ERROR))
        << "GL error 0x" << std::hex << error << " left in the queue by the test";
}

void GlTest::swap()
{
    SDL_GL_SwapWindow(window);
}

GLenum GlTest::take_gl_error()
{
    const GLenum first = glGetError();
    while (glGetError() != GL_NO_ERROR) {
    }
    return first;
}

GLint GlTest::level0(GLenum target, GLenum what)
{
    GLint value = 0;
    glGetTexLevelParameteriv(target, 0, what, &value);
    return value;
}

GLint GlTest::parameter(GLenum target, GLenum what)
{
    GLint value = 0;
    glGetTexParameteriv(target, what, &value);
    return value;
}

GLuint GlTest::make_texture(GLenum internal_format, GLenum format, GLenum type, int w, int h)
{
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internal_format), w, h, 0, format, type, nullptr);
    return t;
}
