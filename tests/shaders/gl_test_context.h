// A hidden SDL2 window with a GL 2.1 compatibility context and GLEW, one per
// test process, for the GL tests (run under Xvfb with Mesa's llvmpipe).
// Include it in a test file and derive fixtures from GlTest.
#pragma once

#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>

class GlTest : public ::testing::Test
{
  public:
    static void SetUpTestSuite()
    {
        if (window_ != nullptr) {
            return;
        }
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        window_ = SDL_CreateWindow("gl test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width_,
                                   height_, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        context_ = SDL_GL_CreateContext(window_);
        ASSERT_NE(context_, nullptr) << SDL_GetError();
        glewExperimental = GL_TRUE;
        GLenum glew = glewInit();
        ASSERT_EQ(glew, static_cast<GLenum>(GLEW_OK)) << glewGetErrorString(glew);
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    // The context stays until the process ends: GL objects go with it.
    static void TearDownTestSuite() {}

    static void swap() { SDL_GL_SwapWindow(window_); }

    // Empties GL's error queue and returns the first error seen.
    static GLenum take_gl_error()
    {
        GLenum first = glGetError();
        while (glGetError() != GL_NO_ERROR) {
        }
        return first;
    }

  protected:
    void SetUp() override
    {
        ASSERT_NE(context_, nullptr);
        take_gl_error();
    }

    static constexpr int width_ = 640;
    static constexpr int height_ = 480;
    static inline SDL_Window *window_ = nullptr;
    static inline SDL_GLContext context_ = nullptr;
};

// Queries of the texture bound to `target` on the active unit.
inline GLint level0(GLenum target, GLenum what)
{
    GLint value = 0;
    glGetTexLevelParameteriv(target, 0, what, &value);
    return value;
}

inline GLint parameter(GLenum target, GLenum what)
{
    GLint value = 0;
    glGetTexParameteriv(target, what, &value);
    return value;
}
