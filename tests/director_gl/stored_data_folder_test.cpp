// A data folder with the twelve programs alone (ours without f_bloomdown,
// f_bloomblur and f_softhalo, the sprite programs without "passes", and a
// combine program that reads the depth and the random texture) still gets
// its whole frame: no GL error, list 666 drawn five times for the main
// cloud and twice for the letters, the combine and blur inputs on their
// units, and nineteen files built in their order. Our folder: one draw per
// cloud, the three extra files after the nineteen, and a warm-up that draws
// the first piece of each grid only.
#include "app/still.h"
#include "render/pass_hook.h"
#include "render/render_targets.h"
#include "show/part_start.h"
#include "show/part_start_setup.h"
#include "show/resources.h"
#include "support/whole_show.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

constexpr int width = 160;
constexpr int height = 90;

const std::vector<std::string> nineteen_files = {
    "Materials//v_billboards.cpp",        "Materials//f_billboards.cpp",
    "Materials//v_billboards2n.cpp",      "Materials//f_billboards2n.cpp",
    "Materials//v_billboards3n.cpp",      "Materials//f_billboards3n.cpp",
    "Materials//v_billboardsstars.cpp",   "Materials//f_billboardsstars.cpp",
    "Materials//v_billboardsletters.cpp", "Materials//f_billboardsletters.cpp",
    "Materials//v_material1.cpp",         "Materials//f_material1.cpp",
    "PostProcessing//f_combineSSAO.cpp",  "PostProcessing//f_blurpass.cpp",
    "PostProcessing//f_simpleblur.cpp",   "PostProcessing//f_blurhighlights.cpp",
    "PostProcessing//f_godrays.cpp",      "PostProcessing//v_velocities.cpp",
    "PostProcessing//f_velocities.cpp"};

// A combine program of the twelve: scene colour, depth, glow, the random
// texture and "Limit".
const char *combine_with_depth = R"(#version 120
uniform sampler2D texture2d_1;
uniform sampler2D texture2d_2;
uniform sampler2D texture2d_3;
uniform sampler2D texture2d_random;
uniform float Limit;
void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float depth = texture2D(texture2d_2, uv).r;
    vec3 grain = texture2D(texture2d_random, uv + vec2(Limit)).rgb;
    vec3 c = texture2D(texture2d_1, uv).rgb + texture2D(texture2d_3, uv).rgb * 0.5;
    gl_FragColor = vec4(c * (1.0 - 0.1 * depth) + grain * 0.01, 1.0);
}
)";

std::string read(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void write(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// A copy of our shader folders turned into those of the twelve programs alone.
void make_stored_folder(const fs::path &folder)
{
    for (const char *file : {"f_bloomdown.cpp", "f_bloomblur.cpp", "f_softhalo.cpp"})
        ASSERT_TRUE(fs::remove(folder / "PostProcessing" / file)) << file;
    const std::string declared = "uniform float passes = 1.0;";
    for (const char *file :
         {"f_billboards.cpp", "f_billboards2n.cpp", "f_billboards3n.cpp", "f_billboardsletters.cpp"}) {
        const fs::path path = folder / "Materials" / file;
        std::string text = read(path);
        const std::size_t at = text.find(declared);
        ASSERT_NE(at, std::string::npos) << file;
        text.replace(at, declared.size(), "const float passes = 1.0;");
        write(path, text);
    }
    write(folder / "PostProcessing" / "f_combineSSAO.cpp", combine_with_depth);
}

// The shader file names among the lines written to standard output.
std::vector<std::string> built_files(const std::string &out)
{
    std::vector<std::string> files;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (line.find("//") != std::string::npos && line.size() > 4 &&
            line.compare(line.size() - 4, 4, ".cpp") == 0)
            files.push_back(line);
    return files;
}

// Standard output into a string while it lives.
class CapturedOutput
{
  public:
    CapturedOutput() : kept_(std::cout.rdbuf(text_.rdbuf())) {}
    ~CapturedOutput() { std::cout.rdbuf(kept_); }
    CapturedOutput(const CapturedOutput &) = delete;
    CapturedOutput &operator=(const CapturedOutput &) = delete;
    std::string text() const { return text_.str(); }

  private:
    std::stringstream text_;
    std::streambuf *kept_;
};

GLint binding_on(int unit)
{
    GLint texture = 0;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glActiveTexture(GL_TEXTURE0);
    return texture;
}

GLint sampler_unit(GLuint program, const char *name)
{
    GLint unit = -1;
    const GLint location = glGetUniformLocation(program, name);
    if (location >= 0)
        glGetUniformiv(program, location, &unit);
    return unit;
}

// What a frame's passes leave: the points the scene pass sends through the
// vertex stage, and the inputs the combine and blur passes bound.
class FrameWatch final : public PassHook
{
  public:
    explicit FrameWatch(OfflineShow &show) : show_(show) { glGenQueries(1, &query_); }
    ~FrameWatch() { glDeleteQueries(1, &query_); }

    void frame_begins() override {}
    void pass_begins(const char *name) override
    {
        const std::string pass = name;
        if (counting_) {
            glEndQuery(GL_PRIMITIVES_GENERATED);
            GLuint n = 0;
            glGetQueryObjectuiv(query_, GL_QUERY_RESULT, &n);
            scene_points = n;
            counting_ = false;
        }
        if (pass == "scene") {
            glBeginQuery(GL_PRIMITIVES_GENERATED, query_);
            counting_ = true;
        }
        if (pass == "blur") { // the combine pass has just run
            combine_unit_1 = binding_on(1);
            combine_unit_3 = binding_on(3);
            const GLuint program = show_.show.shaders.program(program::combine);
            depth_sampler_unit = sampler_unit(program, "texture2d_2");
            random_sampler_unit = sampler_unit(program, "texture2d_random");
        }
    }
    void frame_ends() override
    {
        blur_unit_3 = binding_on(3);
        blur_depth_sampler_unit = sampler_unit(show_.show.shaders.program(program::blur), "texture2d_2");
    }

    unsigned scene_points = 0;
    GLint combine_unit_1 = 0, combine_unit_3 = 0, depth_sampler_unit = -1, random_sampler_unit = -1;
    GLint blur_unit_3 = 0, blur_depth_sampler_unit = -1;

  private:
    OfflineShow &show_;
    GLuint query_ = 0;
    bool counting_ = false;
};

struct FrameSeen {
    std::vector<std::string> files;
    unsigned points_at_10 = 0, points_at_60 = 0, points_in_warm_up = 0;
    GLenum error = GL_NO_ERROR;
    GLint combine_unit_1 = 0, combine_unit_3 = 0, depth_sampler_unit = -1, random_sampler_unit = -1;
    GLint blur_unit_3 = 0, blur_depth_sampler_unit = -1;
    GLuint depth_texture = 0, random_texture = 0;
};

// The show in the working folder.
FrameSeen show_seen()
{
    FrameSeen seen;
    CapturedOutput out;
    const bool ok = run_offline_show(width, height, [&](OfflineShow &show) {
        while (glGetError() != GL_NO_ERROR) {
        }
        FrameWatch watch(show);
        show.show.pass_hook = &watch;
        show.draw_at(10.0); // the letters are drawn
        seen.points_at_10 = watch.scene_points;
        show.draw_at(60.0);
        seen.points_at_60 = watch.scene_points;
        // The warm-up draws the first piece of each grid only.
        warm_up_show_at(show.show, show.ctx, 10.0);
        seen.points_in_warm_up = watch.scene_points;
        show.show.pass_hook = nullptr;
        seen.error = glGetError();
        seen.combine_unit_1 = watch.combine_unit_1;
        seen.combine_unit_3 = watch.combine_unit_3;
        seen.depth_sampler_unit = watch.depth_sampler_unit;
        seen.random_sampler_unit = watch.random_sampler_unit;
        seen.blur_unit_3 = watch.blur_unit_3;
        seen.blur_depth_sampler_unit = watch.blur_depth_sampler_unit;
        seen.depth_texture = show.ctx.textures[tex::scene_depth];
        seen.random_texture = show.ctx.textures[tex::random_rgb];
    });
    EXPECT_TRUE(ok);
    seen.files = built_files(out.text());
    return seen;
}

constexpr unsigned grid_points = 512 * 512, star_points = 171 * 128;

using StoredDataFolder = WholeShowTest;

} // namespace

TEST_F(StoredDataFolder, the_twelve_programs_alone_get_every_pass_and_input_they_expect)
{
    ASSERT_NO_FATAL_FAILURE(enter_copy("stored-data", {"Materials", "PostProcessing"}));
    ASSERT_NO_FATAL_FAILURE(make_stored_folder(fs::current_path()));
    const FrameSeen seen = show_seen();
    EXPECT_EQ(seen.error, static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(seen.files, nineteen_files);
    // Five passes of the main cloud, the stars, two passes of the letters.
    EXPECT_EQ(seen.points_at_10, 5 * grid_points + star_points + 2 * grid_points);
    EXPECT_EQ(seen.points_at_60, 5 * grid_points + star_points);
    EXPECT_EQ(seen.combine_unit_1, static_cast<GLint>(seen.depth_texture));
    EXPECT_EQ(seen.combine_unit_3, static_cast<GLint>(seen.random_texture));
    EXPECT_EQ(seen.depth_sampler_unit, 1);
    EXPECT_EQ(seen.random_sampler_unit, 3);
    EXPECT_EQ(seen.blur_unit_3, static_cast<GLint>(seen.depth_texture));
    EXPECT_EQ(seen.blur_depth_sampler_unit, 3);
}

TEST_F(StoredDataFolder, our_folder_draws_each_cloud_once_and_builds_its_three_files_after_the_nineteen)
{
    const FrameSeen seen = show_seen();
    EXPECT_EQ(seen.error, static_cast<GLenum>(GL_NO_ERROR));
    std::vector<std::string> expected = nineteen_files;
    for (const char *file : {"PostProcessing//f_bloomdown.cpp", "PostProcessing//f_bloomblur.cpp",
                             "PostProcessing//f_softhalo.cpp"})
        expected.push_back(file);
    EXPECT_EQ(seen.files, expected);
    EXPECT_EQ(seen.points_at_10, grid_points + star_points + grid_points);
    EXPECT_EQ(seen.points_at_60, grid_points + star_points);
    EXPECT_EQ(seen.points_in_warm_up, 3u * 4096u);                          // main cloud, stars, letters
    EXPECT_NE(seen.combine_unit_1, static_cast<GLint>(seen.depth_texture)); // the glow's bloom
}
