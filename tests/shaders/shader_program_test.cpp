// GL tests of the shader toolkit: building from files, the messages on
// standard output, uniforms and textures by name, the projective matrix.
#include "support/gl_test_context.h"

#include "render/render_targets.h"
#include "render/shader_program.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

// One folder per test: tests that run at the same time (or a test reading
// a file another has just rewritten) never share a source file.
fs::path scratch_dir()
{
    const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path dir = fs::path(VELLAMOR_BINARY_DIR) / "test-scratch" / "shaders" / test->name();
    fs::create_directories(dir);
    return dir;
}

std::string write_file(const std::string &name, const std::string &text)
{
    fs::path path = scratch_dir() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

const char *const pass_vertex = R"(#version 120
varying vec2 uv;
void main() { uv = gl_MultiTexCoord0.xy; gl_Position = ftransform(); }
)";

const char *const scaled_fragment = R"(#version 120
uniform sampler2D picture;
uniform float scale;
varying vec2 uv;
void main() { gl_FragColor = texture2D(picture, uv) * scale; }
)";

const char *const plain_fragment = R"(#version 120
void main() { gl_FragColor = vec4(0.25, 0.5, 0.75, 1.0); }
)";

GLint shader_status(GLuint shader)
{
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    return ok;
}

GLint link_status(GLuint program)
{
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    return ok;
}

GLuint current_program()
{
    GLint name = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &name);
    return static_cast<GLuint>(name);
}

std::vector<std::string> lines_of(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void full_screen_quad()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
}

using Matrix = std::array<double, 16>; // column-major, as GL stores it

Matrix multiply(const Matrix &a, const Matrix &b)
{
    Matrix m{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            for (int k = 0; k < 4; ++k) {
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
            }
        }
    }
    return m;
}

Matrix perspective(double fovy_degrees, double aspect, double n, double f)
{
    const double t = 1.0 / std::tan(fovy_degrees * M_PI / 360.0);
    Matrix m{};
    m[0] = t / aspect;
    m[5] = t;
    m[10] = (f + n) / (n - f);
    m[11] = -1.0;
    m[14] = 2.0 * f * n / (n - f);
    return m;
}

Matrix look_at(std::array<double, 3> eye, std::array<double, 3> centre, std::array<double, 3> up)
{
    auto normalise = [](std::array<double, 3> v) {
        double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        return std::array<double, 3>{v[0] / l, v[1] / l, v[2] / l};
    };
    auto cross = [](std::array<double, 3> a, std::array<double, 3> b) {
        return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                     a[0] * b[1] - a[1] * b[0]};
    };
    std::array<double, 3> f = normalise({centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]});
    std::array<double, 3> s = normalise(cross(f, up));
    std::array<double, 3> u = cross(s, f);
    Matrix m{};
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = s[i];
        m[i * 4 + 1] = u[i];
        m[i * 4 + 2] = -f[i];
    }
    m[15] = 1.0;
    for (int r = 0; r < 3; ++r) {
        m[12 + r] = -(m[r] * eye[0] + m[4 + r] * eye[1] + m[8 + r] * eye[2]);
    }
    return m;
}

std::array<float, 16> read_matrix(GLenum which)
{
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

class ShaderPrograms : public GlTest
{
  protected:
    // The tables are large: keep them on the heap as the show does.
    std::unique_ptr<ShaderProgram> shaders = std::make_unique<ShaderProgram>();
};

} // namespace

// ---- Building and drawing -----------------------------------------------------

TEST_F(ShaderPrograms, program_from_files_draws_into_render_set_with_uniform_and_texture)
{
    const std::string vertex = write_file("pass_v.cpp", pass_vertex);
    const std::string fragment = write_file("scaled_f.cpp", scaled_fragment);
    shaders->build_program(vertex, fragment, 40);
    ASSERT_EQ(link_status(shaders->program(40)), GL_TRUE);

    auto ctx = std::make_unique<RenderTargets>();
    ctx->create_render_set(RenderSetNumber{2}, 8, 8, 0);

    // A 1 x 1 texture of a known colour, sampled through unit 3 by name.
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const unsigned char texel[4] = {200, 100, 40, 255};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glBindTexture(GL_TEXTURE_2D, 0);

    ctx->bind_render_set(RenderSetNumber{2}, 1);
    glViewport(0, 0, 8, 8);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    shaders->use_program(40);
    shaders->set_uniform_float(40, "scale", 0.5f);
    shaders->set_uniform_float(40, "not_declared", 3.0f); // ignored by GL
    shaders->bind_texture_uniform(GL_TEXTURE_2D, 40, 3, "picture", texture);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE3) << "the bound unit stays active";
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture);
    glActiveTexture(GL_TEXTURE0);
    full_screen_quad();

    unsigned char pixel[4] = {};
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glReadPixels(4, 4, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_NEAR(pixel[0], 100, 1);
    EXPECT_NEAR(pixel[1], 50, 1);
    EXPECT_NEAR(pixel[2], 20, 1);
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));

    ShaderProgram::unuse_program();
    ctx->unbind_render_targets();
    EXPECT_EQ(current_program(), 0u);
}

TEST_F(ShaderPrograms, fragment_program_is_left_current_and_full_program_is_not)
{
    const std::string vertex = write_file("pass_v.cpp", pass_vertex);
    const std::string fragment = write_file("plain_f.cpp", plain_fragment);
    ShaderProgram::unuse_program();

    shaders->build_fragment_program(fragment, 3);
    EXPECT_EQ(link_status(shaders->program(3)), GL_TRUE);
    EXPECT_EQ(shaders->vertex_shader(3), 0u) << "a fragment program has no vertex shader";
    EXPECT_EQ(current_program(), shaders->program(3));

    shaders->build_program(vertex, fragment, 21);
    EXPECT_NE(shaders->program(21), shaders->program(3));
    EXPECT_EQ(current_program(), shaders->program(3)) << "build_program changed the current program";
    ShaderProgram::unuse_program();
}

TEST_F(ShaderPrograms, rebuilding_a_slot_keeps_the_old_program_alive)
{
    const std::string vertex = write_file("pass_v.cpp", pass_vertex);
    const std::string fragment = write_file("plain_f.cpp", plain_fragment);
    shaders->build_program(vertex, fragment, 7);
    const GLuint first = shaders->program(7);
    shaders->build_program(vertex, fragment, 7);
    EXPECT_NE(shaders->program(7), first);
    EXPECT_EQ(glIsProgram(first), GL_TRUE);
    EXPECT_EQ(link_status(first), GL_TRUE);
}

// ---- Messages on standard output -----------------------------------------------

TEST_F(ShaderPrograms, missing_file_prints_the_message_and_the_other_slots_still_build)
{
    const std::string vertex = write_file("pass_v.cpp", pass_vertex);
    const std::string fragment = write_file("plain_f.cpp", plain_fragment);
    const std::string missing = (scratch_dir() / "no_such_shader.cpp").string();

    testing::internal::CaptureStdout();
    shaders->build_program(missing, fragment, 5);
    shaders->build_program(vertex, fragment, 6);
    const std::vector<std::string> out = lines_of(testing::internal::GetCapturedStdout());

    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out[0], "Cannot open shader source file.");
    EXPECT_EQ(out[1], missing) << "the file name follows the message";
    // The missing source compiled as an empty text: the slot holds a failed
    // shader, and the next slot is unaffected.
    EXPECT_NE(shaders->vertex_shader(5), 0u);
    EXPECT_EQ(shader_status(shaders->vertex_shader(5)), GL_FALSE);
    EXPECT_EQ(shader_status(shaders->fragment_shader(5)), GL_TRUE);
    EXPECT_EQ(link_status(shaders->program(6)), GL_TRUE);
}

TEST_F(ShaderPrograms, each_compile_prints_file_name_then_one_log_line)
{
    const std::string fragment = write_file("plain_f.cpp", plain_fragment);
    testing::internal::CaptureStdout();
    shaders->compile_fragment_shader(fragment, 9);
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(out.rfind(fragment + "\n", 0), 0u) << out;
    EXPECT_EQ(out.back(), '\n');
}

TEST_F(ShaderPrograms, info_log_longer_than_999_characters_is_cut)
{
    // Each statement names an undeclared variable: one error line each.
    std::string source = "#version 120\nvoid main() {\n";
    for (int i = 0; i < 200; ++i) {
        source += "  undeclared_value_number_" + std::to_string(i) + " = 1.0;\n";
    }
    source += "}\n";
    const std::string path = write_file("noisy_f.cpp", source);

    testing::internal::CaptureStdout();
    shaders->compile_fragment_shader(path, 11);
    const std::string out = testing::internal::GetCapturedStdout();

    GLint full_length = 0;
    glGetShaderiv(shaders->fragment_shader(11), GL_INFO_LOG_LENGTH, &full_length);
    ASSERT_GT(full_length, 1000) << "the test source must provoke a long log";
    ASSERT_EQ(out.rfind(path + "\n", 0), 0u);
    const std::string log = out.substr(path.size() + 1);
    EXPECT_EQ(log.size(), 1000u) << "999 characters and the line end";
    EXPECT_EQ(log.back(), '\n');
}

TEST_F(ShaderPrograms, out_of_range_slots_are_refused_without_touching_gl)
{
    const std::string fragment = write_file("plain_f.cpp", plain_fragment);
    ShaderProgram::unuse_program();
    testing::internal::CaptureStdout();
    shaders->build_fragment_program(fragment, ShaderProgram::slot_count);
    shaders->build_program(fragment, fragment, -1);
    shaders->use_program(20000);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Shader slot 10128 is out of range."), std::string::npos) << out;
    EXPECT_EQ(current_program(), 0u);
    EXPECT_EQ(shaders->program(ShaderProgram::slot_count), 0u);
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}

// ---- Projective texture matrix --------------------------------------------------

TEST_F(ShaderPrograms, projective_matrix_lands_in_unit_2_and_leaves_other_matrices_alone)
{
    // Something recognisable in the matrices that must not change.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glActiveTexture(GL_TEXTURE0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(2, 2, 2);
    const auto modelview_before = read_matrix(GL_MODELVIEW_MATRIX);
    const auto unit0_before = read_matrix(GL_TEXTURE_MATRIX);
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE5);

    const std::array<float, 3> eye{3, 4, 12}, centre{0, -1, 0}, up{0, 0, 1};
    ShaderProgram::set_projective_texture_matrix(3, "ProjectionMatrix", eye, centre, up, 65.0, 16.0 / 9.0,
                                                 1.0, 100.0);

    GLint active = 0, mode = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(mode, GL_TEXTURE);
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR)) << "unbalanced matrix stacks";
    EXPECT_EQ(read_matrix(GL_TEXTURE_MATRIX), unit0_before);
    EXPECT_EQ(read_matrix(GL_MODELVIEW_MATRIX), modelview_before);

    Matrix bias{};
    bias[0] = bias[5] = bias[10] = 0.5;
    bias[12] = bias[13] = bias[14] = 0.5;
    bias[15] = 1.0;
    const Matrix expected = multiply(multiply(bias, perspective(65.0, 16.0 / 9.0, 1.0, 100.0)),
                                     look_at({3, 4, 12}, {0, -1, 0}, {0, 0, 1}));
    glActiveTexture(GL_TEXTURE2);
    const auto unit2 = read_matrix(GL_TEXTURE_MATRIX);
    glActiveTexture(GL_TEXTURE0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(unit2[i], expected[i], 1e-4 * (1.0 + std::fabs(expected[i]))) << "element " << i;
    }

    // The camera-record form gives the same matrix.
    CameraRecord camera;
    camera.eye = {1, 3, 4, 12};
    camera.centre = {1, 0, -1, 0};
    camera.up = {1, 0, 0, 1};
    ShaderProgram::set_projective_texture_matrix(3, "ProjectionMatrix", camera, 65.0, 16.0 / 9.0, 1.0, 100.0);
    glActiveTexture(GL_TEXTURE2);
    EXPECT_EQ(read_matrix(GL_TEXTURE_MATRIX), unit2);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// ---- Failures for the caller ---------------------------------------------------

// Each file that cannot serve is listed once, with the first reason: a
// source that cannot be read is not listed again as not compiling, and a
// program whose files both compiled is listed for its link.
TEST_F(ShaderPrograms, failures_name_each_file_once_with_its_reason)
{
    const std::string vertex = write_file("pass_v.cpp", pass_vertex);
    const std::string fragment = write_file("plain_f.cpp", plain_fragment);
    const std::string empty = write_file("empty_f.cpp", "");
    const std::string broken = write_file("broken_f.cpp", "void main() { gl_FragColor = vec4(1.0) }\n");
    const std::string no_main = write_file("no_main_f.cpp", "void helper() {}\n");
    testing::internal::CaptureStdout();
    shaders->build_program(vertex, fragment, 1);
    EXPECT_TRUE(shaders->take_failures().empty()) << "a good program";
    shaders->build_program(vertex, empty, 2);
    shaders->build_fragment_program(broken, 3);
    shaders->build_fragment_program(no_main, 4);
    testing::internal::GetCapturedStdout();

    const LoadFailures failures = shaders->take_failures();
    ASSERT_EQ(failures.size(), 3u);
    EXPECT_EQ(failures[0].file, empty);
    EXPECT_EQ(failures[0].reason, "is empty");
    EXPECT_EQ(failures[1].file, broken);
    EXPECT_EQ(failures[1].reason.rfind("does not compile: ", 0), 0u) << failures[1].reason;
    EXPECT_NE(failures[1].reason.find("error"), std::string::npos) << "the compiler's words";
    EXPECT_EQ(failures[2].file, no_main);
    EXPECT_EQ(failures[2].reason.rfind("does not link: ", 0), 0u) << failures[2].reason;
    EXPECT_TRUE(shaders->take_failures().empty()) << "taken once";
    // Making the unlinked program current is GL's INVALID_OPERATION (the
    // show's builds do the same with a broken file).
    while (glGetError() != GL_NO_ERROR) {
    }
}
