// A shown SDL window with a GL 2.1 compatibility context and GLEW, for the
// GL tests (run under Xvfb with Mesa's software renderer).
#pragma once

#include <GL/glew.h>
#include <SDL.h>

#include <gtest/gtest.h>

class GlWindowTest : public ::testing::Test
{
  protected:
    static constexpr int size = 512;
    SDL_Window *window = nullptr;
    SDL_GLContext context = nullptr;

    void SetUp() override
    {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
            ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        window = SDL_CreateWindow("gl test", 0, 0, size, size, SDL_WINDOW_OPENGL);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        context = SDL_GL_CreateContext(window);
        ASSERT_NE(context, nullptr) << SDL_GetError();
        glewExperimental = GL_TRUE;
        ASSERT_EQ(glewInit(), GLEW_OK);
        glViewport(0, 0, size, size);
    }
    void TearDown() override
    {
        if (context != nullptr)
            SDL_GL_DeleteContext(context);
        if (window != nullptr)
            SDL_DestroyWindow(window);
        // SDL video stays up: re-opening the display between tests of one
        // process leaves GLEW without a current GLX display.
    }

    static GLuint make_texture(GLenum internal_format, GLenum format, GLenum type, int w, int h)
    {
        GLuint t = 0;
        glGenTextures(1, &t);
        glBindTexture(GL_TEXTURE_2D, t);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internal_format), w, h, 0, format, type, nullptr);
        return t;
    }
};
