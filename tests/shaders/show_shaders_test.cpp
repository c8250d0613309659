// The show's own GLSL files (data/): every program of the set-up compiles
// and links on Mesa, and uses only uniform names the drawing code sets.
#include "gl_test_context.h"

#include "render/shader_program.h"
#include "show/part_start_setup.h"
#include "show/resources.h"

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace
{

class ShowShaders : public GlTest
{
};

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
        glGetActiveUniform(program, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        names.insert(name);
    }
    return names;
}

} // namespace

TEST_F(ShowShaders, every_show_program_compiles_and_links)
{
    std::filesystem::current_path(std::filesystem::path(VELLAMOR_SOURCE_DIR) / "data");
    auto shaders = std::make_unique<ShaderProgram>();
    testing::internal::CaptureStdout();
    build_show_programs(*shaders);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Cannot open shader source file."), std::string::npos) << out;

    for (const ShowProgramFiles &files : show_program_files) {
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

    // A uniform the drawing code never sets by that name (a misspelt
    // "texture2D_1", say) would silently keep its default: every active
    // uniform must belong to what the passes set on that program.
    const std::set<std::string> particle = {"PosY",        "ttime",        "realttime",
                                            "rttime",      "particlesize", "magnifier",
                                            "texture2d_1", "texture2d_2",  "textureDSP"};
    const std::set<std::string> lit_mesh = {"PosY",        "PP",          "ttime",          "texture2d_1",
                                            "texture2d_2", "texture2d_3", "texture2d_blob", "texture2d_cube"};
    const std::set<std::string> combine = {"Limit", "texture2d_1", "texture2d_2", "texture2d_3",
                                           "texture2d_random"};
    const std::set<std::string> blur = {"Limit", "texture2d_1", "texture2d_2"};
    // Programs no frame draws with: anything of the whole vocabulary.
    std::set<std::string> vocabulary = {
        "rttime", "PP", "Limit", "texture2d_3", "texture2d_blob", "texture2d_random", "texture2d_cube"};
    vocabulary.insert(particle.begin(), particle.end());

    const std::pair<int, const std::set<std::string> *> allowed[] = {
        {program::billboards, &particle},
        {program::billboards_insect, &particle},
        {program::billboards_leaves, &particle},
        {program::stars, &particle},
        {program::letters, &particle},
        {program::lit_mesh, &lit_mesh},
        {program::combine, &combine},
        {program::blur, &blur},
        {program::simple_blur, &vocabulary},
        {program::blur_highlights, &vocabulary},
        {program::god_rays, &vocabulary},
        {program::velocities, &vocabulary},
    };
    for (const auto &[slot, names] : allowed) {
        for (const std::string &name : active_uniforms(shaders->program(slot))) {
            EXPECT_TRUE(name.rfind("gl_", 0) == 0 || names->count(name))
                << "program slot " << slot << " uses \"" << name << "\", which is never set";
        }
    }
    // The passes that reach the picture must sample what they are given.
    for (int slot : {program::billboards, program::letters, program::combine, program::blur}) {
        EXPECT_TRUE(active_uniforms(shaders->program(slot)).count("texture2d_1")) << slot;
    }
    ShaderProgram::unuse_program();
}
