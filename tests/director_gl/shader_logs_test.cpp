// Every GLSL file of the show compiles and links on this GL implementation
// without a single message in its info logs (a warning today is an error on
// the next driver).
#include "support/gl_test_context.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace
{

std::string read(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string shader_log(GLuint shader)
{
    char log[4096] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    return log;
}

std::string program_log(GLuint program)
{
    char log[4096] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    return log;
}

struct Pair {
    const char *vertex; // empty: the fixed-function vertex stage
    const char *fragment;
};

const Pair programs[] = {
    {"Materials/v_billboards.cpp", "Materials/f_billboards.cpp"},
    {"Materials/v_billboards2n.cpp", "Materials/f_billboards2n.cpp"},
    {"Materials/v_billboards3n.cpp", "Materials/f_billboards3n.cpp"},
    {"Materials/v_billboardsstars.cpp", "Materials/f_billboardsstars.cpp"},
    {"Materials/v_billboardsletters.cpp", "Materials/f_billboardsletters.cpp"},
    {"Materials/v_material1.cpp", "Materials/f_material1.cpp"},
    {"", "PostProcessing/f_combineSSAO.cpp"},
    {"", "PostProcessing/f_blurpass.cpp"},
    {"", "PostProcessing/f_simpleblur.cpp"},
    {"", "PostProcessing/f_blurhighlights.cpp"},
    {"", "PostProcessing/f_godrays.cpp"},
    {"PostProcessing/v_velocities.cpp", "PostProcessing/f_velocities.cpp"},
    {"", "PostProcessing/f_bloomdown.cpp"},
    {"", "PostProcessing/f_bloomblur.cpp"},
};

class ShaderLogs : public GlTest
{
};

} // namespace

TEST_F(ShaderLogs, every_show_shader_compiles_and_links_without_a_message)
{
    const std::filesystem::path data = std::filesystem::path(VELLAMOR_SOURCE_DIR) / "data";
    for (const Pair &pair : programs) {
        const GLuint program = glCreateProgram();
        for (const char *file : {pair.vertex, pair.fragment}) {
            if (*file == '\0')
                continue;
            const std::string text = read(data / file);
            ASSERT_FALSE(text.empty()) << file;
            const GLuint shader = glCreateShader(file == pair.vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
            const char *source = text.c_str();
            glShaderSource(shader, 1, &source, nullptr);
            glCompileShader(shader);
            GLint ok = GL_FALSE;
            glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
            EXPECT_EQ(ok, GL_TRUE) << file;
            EXPECT_EQ(shader_log(shader), "") << file;
            glAttachShader(program, shader);
        }
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << pair.fragment;
        EXPECT_EQ(program_log(program), "") << pair.fragment;
    }
}
