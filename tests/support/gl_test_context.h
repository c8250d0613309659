// The GL test fixture: derive a fixture from GlTest (or use TEST_F(GlTest,
// ...) directly) and every test runs with a GL context current.
//
// One hidden 512 x 512 window serves the whole test process (closing the
// display between tests leaves GLEW without a current GLX display); each test
// suite gets a fresh GL 2.1 compatibility context on it, the kind the show's
// window asks for (double-buffered, 24-bit depth), with GLEW loaded. GL
// objects made in a suite's SetUpTestSuite live until its TearDownTestSuite.
// Tests run under Xvfb with Mesa's software renderer.
//
// Per-test checks belong in GlTest::SetUp / TearDown; a fixture that
// overrides them calls the base first.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

class GlTest : public ::testing::Test
{
  public:
    static constexpr int width = 512;
    static constexpr int height = 512;

    // Opens the window (once per process) and the suite's context. A suite
    // that makes GL objects for all its tests calls this first.
    static void SetUpTestSuite();
    // Deletes the suite's context and every GL object made in it.
    static void TearDownTestSuite();

    // Presents the back buffer.
    static void swap();

    // Empties GL's error queue and returns the first error seen.
    static GLenum take_gl_error();

    // Level-0 and parameter queries of the texture bound to `target` on the
    // active unit.
    static GLint level0(GLenum target, GLenum what);
    static GLint parameter(GLenum target, GLenum what);

    // A new 2-D texture of w x h with no data and nearest filtering, left
    // bound.
    static GLuint make_texture(GLenum internal_format, GLenum format, GLenum type, int w, int h);

  protected:
    // Fails the test when there is no context; otherwise makes it current
    // and empties the GL error queue. GL state is what the suite left: a new
    // context draws into the window with the viewport over all of it.
    void SetUp() override;
    // Fails the test when GL's error queue is not empty.
    void TearDown() override;
};
