// The show's own GLSL files (data/): every program of the set-up compiles
// and links on Mesa, and the particle and lit-mesh programs keep the
// uniform names the drawing code sets.
#include "gl_test_context.h"

#include "render/shader_program.h"
#include "show/part_start_setup.h"
#include "show/resources.h"

#include <filesystem>
#include <memory>
#include <set>
#include <string>

namespace {

class ShowShaders : public GlTest {};

GLint status_of(GLuint object, bool program)
{
    GLint ok = GL_FALSE;
    if (program) {
        glGetProgramiv(object, GL_LINK_STATUS, &ok);
    } else {
        glGetShaderiv(object, GL_COMPILE_STATUS, &ok);
    }
    return ok;
}

std::string log_of(GLuint object, bool program)
{
    char log[4096] = {};
    if (program) {
        glGetProgramInfoLog(object, sizeof log, nullptr, log);
    } else {
        glGetShaderInfoLog(object, sizeof log, nullptr, log);
    }
    return log;
}

// Every uniform the program declares and uses.
std::set<std::string> active_uniforms(GLuint program)
{
    std::set<std::string> names;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type,
                           name);
        names.insert(name);
    }
    return names;
}

}  // namespace

TEST_F(ShowShaders, every_show_program_compiles_and_links)
{
    std::filesystem::current_path(std::filesystem::path(VELLAMOR_SOURCE_DIR) / "data");
    auto shaders = std::make_unique<ShaderProgram>();
    testing::internal::CaptureStdout();
    build_show_programs(*shaders);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Cannot open shader source file."), std::string::npos) << out;

    for (const ShowProgramFiles& files : show_program_files) {
        SCOPED_TRACE(files.fragment);
        if (files.vertex != nullptr) {
            GLuint vertex = shaders->vertex_shader(files.slot);
            EXPECT_EQ(status_of(vertex, false), GL_TRUE) << log_of(vertex, false);
        }
        GLuint fragment = shaders->fragment_shader(files.slot);
        EXPECT_EQ(status_of(fragment, false), GL_TRUE) << log_of(fragment, false);
        GLuint program = shaders->program(files.slot);
        EXPECT_EQ(status_of(program, true), GL_TRUE) << log_of(program, true);
    }

    // The samplers that the scene passes bind by name must survive linking,
    // or the binds would silently go nowhere.
    for (int slot : {program::billboards, program::billboards_insect, program::billboards_leaves,
                     program::stars, program::letters}) {
        std::set<std::string> names = active_uniforms(shaders->program(slot));
        for (const char* name : {"texture2d_1", "texture2d_2", "textureDSP"}) {
            EXPECT_TRUE(names.count(name)) << "slot " << slot << " lacks " << name;
        }
    }
    std::set<std::string> combine = active_uniforms(shaders->program(program::combine));
    for (const char* name : {"texture2d_1", "texture2d_2", "texture2d_3", "texture2d_random"}) {
        EXPECT_TRUE(combine.count(name)) << "combine pass lacks " << name;
    }
    EXPECT_TRUE(active_uniforms(shaders->program(program::blur)).count("texture2d_1"));
    EXPECT_TRUE(active_uniforms(shaders->program(program::lit_mesh)).count("texture2d_1"));
    ShaderProgram::unuse_program();
}
