// What the WebGL2 backend hands a program is what GL 2's fixed-function
// pipeline gave it: the matrices as the stand-in uniforms, the uniform
// initialisers, the attribute locations, a vertex stage for fragment-only
// programs; and push_state puts back what it saved.
#include "render/matrix4.h"
#include "render/webgl/webgl_hooks.h"
#include "render/webgl/webgl_state.h"
#include "support/gles_test_context.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

class WebGlStateTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const std::string problem = gles_context_problem();
        if (!problem.empty())
            GTEST_SKIP() << problem;
    }

    // Compiles through the hooks, as ShaderProgram does on the web.
    static GLuint shader(GLenum kind, const char *source)
    {
        const GLuint s = glCreateShader(kind);
        webgl_shader_source(s, 1, &source, nullptr);
        glCompileShader(s);
        return s;
    }

    static GLuint link(std::initializer_list<GLuint> shaders)
    {
        const GLuint p = glCreateProgram();
        for (GLuint s : shaders)
            glAttachShader(p, s);
        webgl_link_program(p);
        return p;
    }

    static bool linked(GLuint program)
    {
        GLint ok = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        return ok == GL_TRUE;
    }

    static std::array<float, 16> uniform_matrix(GLuint program, const char *name)
    {
        std::array<float, 16> m{};
        glGetUniformfv(program, glGetUniformLocation(program, name), m.data());
        return m;
    }
};

const char *const lit_vertex = "#version 120\n"
                               "varying vec3 n;\n"
                               "void main()\n"
                               "{\n"
                               "    n = gl_NormalMatrix * gl_Normal;\n"
                               "    gl_TexCoord[0] = gl_TextureMatrix[2] * gl_MultiTexCoord0;\n"
                               "    gl_Position = gl_ProjectionMatrix * gl_ModelViewMatrix * gl_Vertex;\n"
                               "}\n";
const char *const lit_fragment = "#version 120\n"
                                 "uniform float passes = 2.5;\n"
                                 "varying vec3 n;\n"
                                 "void main()\n"
                                 "{\n"
                                 "    gl_FragColor = vec4(n * passes, 1.0) + gl_TexCoord[0];\n"
                                 "}\n";
const char *const plain_fragment = "#version 120\n"
                                   "void main()\n"
                                   "{\n"
                                   "    gl_FragColor = gl_Color;\n"
                                   "}\n";

TEST_F(WebGlStateTest, programs_get_the_matrices_the_stacks_hold_and_their_initialisers)
{
    const GLuint p = link({shader(GL_VERTEX_SHADER, lit_vertex), shader(GL_FRAGMENT_SHADER, lit_fragment)});
    ASSERT_TRUE(linked(p));
    EXPECT_EQ(glGetAttribLocation(p, "vellamor_Vertex"), 0);
    EXPECT_EQ(glGetAttribLocation(p, "vellamor_Normal"), 1);
    EXPECT_EQ(glGetAttribLocation(p, "vellamor_MultiTexCoord0"), 3);
    GLfloat passes = 0.0f;
    glGetUniformfv(p, glGetUniformLocation(p, "passes"), &passes);
    EXPECT_FLOAT_EQ(passes, 2.5f);

    WebGlState &s = WebGlState::current();
    s.matrix_mode(webgl_projection);
    s.top() = perspective_matrix(65.0, 16.0 / 9.0, 0.1, 100.0);
    s.matrix_mode(webgl_modelview);
    s.top() = look_at_matrix({1, 2, 3}, {0, 0, 0}, {0, 1, 0});
    s.push_matrix();
    s.multiply_top(scale_matrix(2, 2, 2));
    // As the projective texture sets it: unit 2's stack, then back to unit 0.
    webgl_active_texture(GL_TEXTURE2);
    webgl_matrix_mode(webgl_texture);
    webgl_load_identity();
    webgl_translate(0.5f, 0.5f, 0.5f);
    webgl_scale(0.5f, 0.5f, 0.5f);
    webgl_active_texture(GL_TEXTURE0);
    s.matrix_mode(webgl_modelview);

    s.use_program(p);
    s.prepare_draw(1u << webgl_attribute::vertex);
    const Matrix4 mv = s.modelview();
    const auto got_mv = uniform_matrix(p, "vellamor_ModelViewMatrix");
    const auto got_p = uniform_matrix(p, "vellamor_ProjectionMatrix");
    const auto got_t = uniform_matrix(p, "vellamor_TextureMatrix2");
    const Matrix4 projection = perspective_matrix(65.0, 16.0 / 9.0, 0.1, 100.0);
    const Matrix4 texture = multiply(translation_matrix(0.5, 0.5, 0.5), scale_matrix(0.5, 0.5, 0.5));
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(got_mv[i], static_cast<float>(mv[i])) << i;
        EXPECT_FLOAT_EQ(got_p[i], static_cast<float>(projection[i])) << i;
        EXPECT_FLOAT_EQ(got_t[i], static_cast<float>(texture[i])) << i;
    }
    // The normal matrix undoes the uniform scale: the look-at's rotation / 2.
    std::array<float, 9> normal{};
    glGetUniformfv(p, glGetUniformLocation(p, "vellamor_NormalMatrix"), normal.data());
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            EXPECT_NEAR(normal[static_cast<std::size_t>(c * 3 + r)],
                        mv[static_cast<std::size_t>(c * 4 + r)] / 4.0, 1e-6);
    s.pop_matrix();
    s.use_program(0);
}

TEST_F(WebGlStateTest, a_fragment_only_program_gets_the_fixed_function_vertex_stage)
{
    const GLuint p = link({shader(GL_FRAGMENT_SHADER, plain_fragment)});
    ASSERT_TRUE(linked(p));
    EXPECT_EQ(glGetAttribLocation(p, "vellamor_Vertex"), 0);
    EXPECT_EQ(glGetAttribLocation(p, "vellamor_Color"), 2);
}

TEST_F(WebGlStateTest, a_source_that_does_not_translate_fails_with_the_reason_as_its_log)
{
    const GLuint s = shader(GL_FRAGMENT_SHADER, "#version 120\n#version 120\nvoid main() {}\n");
    GLint ok = GL_TRUE;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    EXPECT_EQ(ok, GL_FALSE);
    char log[1000] = {};
    glGetShaderInfoLog(s, sizeof log - 1, nullptr, log);
    EXPECT_NE(std::string(log).find("cannot translate"), std::string::npos) << log;
}

TEST_F(WebGlStateTest, pop_state_puts_back_colour_blending_and_texture_bindings)
{
    WebGlState &s = WebGlState::current();
    GLuint textures[2] = {};
    glGenTextures(2, textures);
    s.active_texture(GL_TEXTURE0);
    s.bind_texture_2d(textures[0]);
    s.attributes.colour = {0.25f, 0.5f, 0.75f, 1.0f};
    s.enable(GL_BLEND, false);
    s.push_attributes(false, false);
    s.attributes.colour = {1, 0, 0, 1};
    s.enable(GL_BLEND, true);
    s.attributes.texture_2d = true;
    s.bind_texture_2d(textures[1]);
    s.pop_attributes();
    EXPECT_EQ(s.attributes.colour, (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1.0f}));
    EXPECT_FALSE(s.attributes.blend);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_FALSE(s.attributes.texture_2d);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textures[0]);

    // The textures group alone leaves the colour as it is.
    s.push_attributes(true, false);
    s.attributes.colour = {0, 1, 0, 1};
    s.bind_texture_2d(textures[1]);
    s.pop_attributes();
    EXPECT_EQ(s.attributes.colour, (std::array<float, 4>{0, 1, 0, 1}));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textures[0]);
    glDeleteTextures(2, textures);
}

TEST_F(WebGlStateTest, one_draw_buffer_goes_to_its_own_position)
{
    GLuint framebuffer = 0, colour[2] = {};
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(2, colour);
    for (int k = 0; k < 2; ++k) {
        glBindRenderbuffer(GL_RENDERBUFFER, colour[k]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 4, 4);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(k),
                                  GL_RENDERBUFFER, colour[k]);
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    webgl_draw_buffer(GL_COLOR_ATTACHMENT1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint first = -1, second = -1;
    glGetIntegerv(GL_DRAW_BUFFER0, &first);
    glGetIntegerv(GL_DRAW_BUFFER1, &second);
    EXPECT_EQ(first, GL_NONE);
    EXPECT_EQ(second, GL_COLOR_ATTACHMENT1);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(2, colour);
    glDeleteFramebuffers(1, &framebuffer);
}

} // namespace
