// The show's own GLSL files (data/): every program of the set-up compiles
// and links on Mesa, and uses only uniform names the drawing code sets; the
// random values the particle and lit-mesh programs use are the ones made
// on the processor, exactly.
#include "support/gl_test_context.h"

#include "render/shader_program.h"
#include "show/part_start_setup.h"
#include "show/point_randoms.h"
#include "show/resources.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

GLuint compile(GLenum kind, const std::string &text)
{
    GLuint shader = glCreateShader(kind);
    const char *source = text.c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    EXPECT_EQ(status_of(shader, false), GL_TRUE) << log_of(shader, false) << text;
    return shader;
}

// A program from GLSL text; no vertex text: the fixed-function vertex stage.
GLuint link_program(const std::string &vertex, const std::string &fragment)
{
    GLuint program = glCreateProgram();
    if (!vertex.empty())
        glAttachShader(program, compile(GL_VERTEX_SHADER, vertex));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragment));
    glLinkProgram(program);
    EXPECT_EQ(status_of(program, true), GL_TRUE) << log_of(program, true);
    return program;
}

// Draws `draw` into a size x size RGBA8 texture and returns its bytes, rows
// bottom first. Leaves the window's framebuffer bound and no program.
std::vector<unsigned char> render_into_texture(int size, GLuint program, void (*draw)())
{
    GLuint texture = 0, framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffersEXT(1, &framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture, 0);
    glViewport(0, 0, size, size);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glUseProgram(program);
    draw();
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size) * size * 4);
    glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    glUseProgram(0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glDeleteFramebuffersEXT(1, &framebuffer);
    glDeleteTextures(1, &texture);
    return bytes;
}

std::string data_file(const std::string &name)
{
    std::ifstream in(std::filesystem::path(VELLAMOR_SOURCE_DIR) / "data" / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lit-mesh program's block tint, in whole numbers: the permutation of
// 0 .. 2047 its GLSL spells out in floats.
int block_hash_reference(int x, int y)
{
    const auto wrap = [](long n) { return static_cast<int>(((n % 2048) + 2048) % 2048); };
    const auto scramble = [&](int n) {
        n = wrap(n * 1237L + 411);
        return wrap(static_cast<long>(n) * (2L * n + 1));
    };
    int n = scramble(wrap(x));
    n = scramble(wrap(n + wrap(y) * 1693L + 97));
    return scramble(n);
}

} // namespace

TEST_F(ShowShaders, the_point_grid_hands_every_point_its_own_random_values)
{
    // One pixel per grid point; the pixel shows the point's three values.
    compile_show_grids();
    const GLuint program =
        link_program("#version 120\n"
                     "varying vec3 r;\n"
                     "void main() {\n"
                     "  gl_Position = vec4(gl_Vertex.xy * 2.0 - 1.0 + 1.0 / 512.0, 0.0, 1.0);\n"
                     "  gl_PointSize = 1.0;\n"
                     "  r = gl_MultiTexCoord0.xyz;\n"
                     "}\n",
                     "#version 120\n"
                     "varying vec3 r;\n"
                     "void main() { gl_FragColor = vec4(r, 1.0); }\n");
    glDisable(GL_VERTEX_PROGRAM_POINT_SIZE);
    glPointSize(1.0f);
    const auto pixels =
        render_into_texture(512, program, [] { glCallList(static_cast<GLuint>(display_list::grid.value)); });
    int wrong = 0;
    for (int i = 0; i < 512; ++i) {
        for (int j = 0; j < 512; ++j) {
            const auto r = point_randoms(i, j);
            for (int k = 0; k < 3; ++k) {
                const int expected = static_cast<int>(std::lround(r[k] * 255.0f));
                wrong += std::abs(pixels[(static_cast<std::size_t>(j) * 512 + i) * 4 + k] - expected) > 1;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShowShaders, the_block_tint_is_exact_whole_number_arithmetic_on_the_gpu)
{
    // The tint functions of the lit-mesh program, run for blocks -32 .. 31
    // on both axes; the 11-bit result comes back in two channels.
    const std::string material = data_file("Materials/f_material1.cpp");
    const std::size_t from = material.find("float wrap(");
    const std::size_t to = material.find("void main()");
    ASSERT_NE(from, std::string::npos) << "the lit-mesh program has no whole-number block hash";
    ASSERT_LT(from, to);
    const GLuint program =
        link_program("", "#version 120\n" + material.substr(from, to - from) +
                             "void main() {\n"
                             "  float n = block_hash(floor(gl_FragCoord.xy) - 32.0) * 2048.0;\n"
                             "  float high = floor(n / 64.0 + 0.01);\n"
                             "  gl_FragColor = vec4(high, n - 64.0 * high, 0.0, 255.0) / 255.0;\n"
                             "}\n");
    const auto pixels = render_into_texture(64, program, [] { glRecti(-1, -1, 1, 1); });
    std::set<int> values;
    int wrong = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const unsigned char *p = &pixels[(static_cast<std::size_t>(y) * 64 + x) * 4];
            const int gpu = p[0] * 64 + p[1];
            wrong += gpu != block_hash_reference(x - 32, y - 32);
            values.insert(gpu);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(values.size(), 1200u); // 4096 blocks, 2048 possible values
}

// Overlapping sprites from bright to far below one step of an 8-bit
// target, added up as the scene pass adds them.
void draw_overlapping_sprites(int draws, float passes)
{
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glUniform1f(glGetUniformLocation(static_cast<GLuint>(program), "passes"), passes);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_POINT_SPRITE);
    glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
    for (int k = 0; k < draws; ++k) {
        glBegin(GL_POINTS);
        for (int i = 0; i < 64; ++i) {
            const float level = 0.25f * std::pow(0.85f, static_cast<float>(i));
            glColor4f(level, level * 0.5f, level * 2.0f, level);
            glVertex2f(-0.9f + 0.028f * static_cast<float>(i), -0.9f + 0.021f * static_cast<float>(i % 9));
        }
        glEnd();
    }
    glDisable(GL_BLEND);
}

TEST_F(ShowShaders, one_draw_for_several_passes_gives_the_picture_of_the_passes)
{
    // The scene pass draws a cloud once for its passes, which land on the
    // same pixels; the sum must be what the passes' own blends would give.
    const std::string vertex = "#version 120\n"
                               "varying vec3 colour;\n"
                               "varying vec4 glow;\n"
                               "void main() {\n"
                               "  gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);\n"
                               "  gl_PointSize = 11.0;\n"
                               "  colour = gl_Color.rgb;\n"
                               "  glow = gl_Color;\n"
                               "}\n";
    for (const char *file : {"Materials/f_billboards.cpp", "Materials/f_billboards2n.cpp",
                             "Materials/f_billboards3n.cpp", "Materials/f_billboardsletters.cpp"}) {
        SCOPED_TRACE(file);
        const GLuint program = link_program(vertex, data_file(file));
        const auto passes = render_into_texture(64, program, [] { draw_overlapping_sprites(5, 1.0f); });
        const auto one_draw = render_into_texture(64, program, [] { draw_overlapping_sprites(1, 5.0f); });
        std::size_t lit = 0, differ = 0;
        for (std::size_t i = 0; i < passes.size(); ++i) {
            lit += passes[i] > 0;
            differ += passes[i] != one_draw[i];
        }
        EXPECT_GT(lit, 1000u);
        EXPECT_EQ(differ, 0u);
        glDeleteProgram(program);
    }
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}

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
    const std::set<std::string> particle = {"PosY",         "ttime",     "realttime",   "rttime",
                                            "particlesize", "magnifier", "texture2d_1", "texture2d_2",
                                            "textureDSP",   "passes"};
    const std::set<std::string> lit_mesh = {"PosY",        "PP",          "ttime",          "texture2d_1",
                                            "texture2d_2", "texture2d_3", "texture2d_blob", "texture2d_cube"};
    const std::set<std::string> combine = {"Limit", "texture2d_1", "texture2d_2", "texture2d_3"};
    const std::set<std::string> blur = {"Limit", "texture2d_1", "texture2d_2", "texture2d_3"};
    const std::set<std::string> bloom_reduce = {"Limit", "texture2d_1"};
    // Arrays are listed by their first element.
    const std::set<std::string> bloom_blur = {"texture2d_1", "texture2d_2", "Step0",      "Step1",     "Mix",
                                              "Offset0[0]",  "Weight0[0]",  "Offset1[0]", "Weight1[0]"};
    const std::set<std::string> soft_halo = {"Radius", "texture2d_1"};
    // Programs no frame draws with: anything of the whole vocabulary.
    std::set<std::string> vocabulary = {
        "rttime", "PP", "Limit", "texture2d_3", "texture2d_blob", "texture2d_random", "texture2d_cube"};
    vocabulary.insert(particle.begin(), particle.end());

    const std::pair<ProgramSlot, const std::set<std::string> *> allowed[] = {
        {program::billboards, &particle},
        {program::billboards_insect, &particle},
        {program::billboards_leaves, &particle},
        {program::stars, &particle},
        {program::letters, &particle},
        {program::lit_mesh, &lit_mesh},
        {program::combine, &combine},
        {program::blur, &blur},
        {program::bloom_reduce, &bloom_reduce},
        {program::bloom_blur, &bloom_blur},
        {program::soft_halo, &soft_halo},
        {program::simple_blur, &vocabulary},
        {program::blur_highlights, &vocabulary},
        {program::god_rays, &vocabulary},
        {program::velocities, &vocabulary},
    };
    for (const auto &[slot, names] : allowed) {
        for (const std::string &name : active_uniforms(shaders->program(slot))) {
            EXPECT_TRUE(name.rfind("gl_", 0) == 0 || names->count(name))
                << "program slot " << slot.value << " uses \"" << name << "\", which is never set";
        }
    }
    // The passes that reach the picture must sample what they are given.
    for (ProgramSlot slot : {program::billboards, program::letters, program::combine, program::blur,
                             program::bloom_reduce, program::bloom_blur, program::soft_halo}) {
        EXPECT_TRUE(active_uniforms(shaders->program(slot)).count("texture2d_1")) << slot.value;
    }
    ShaderProgram::unuse_program();
}
