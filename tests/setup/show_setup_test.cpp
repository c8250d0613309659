// The main show's set-up on the real data folder: every texture of the
// table in place with its size and format, the attachments complete, the
// point and line grids with the right vertices, the loading screen fed
// exactly three frames, the noise images in their creation order. The
// set-up runs in the steps a page presents the loading screen between.
#include "support/gl_test_context.h"
#include "support/whole_show.h"

#include "render/frame_readback.h"
#include "render/noise_pixels.h"
#include "render/render_targets.h"
#include "runtime/generator.h"
#include "runtime/show_state.h"
#include "show/grid_lists.h"
#include "show/part_start.h"
#include "show/part_start_setup.h"
#include "show/resources.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

// 1366 x 768: a width that is not a multiple of 4 (the quarter texture
// then truncates to 341 x 192).
constexpr int render_w = 1366;
constexpr int render_h = 768;

int progress_frames = 0;
void count_progress(double step)
{
    EXPECT_DOUBLE_EQ(step, 0.1);
    ++progress_frames;
}

struct TextureExpectation {
    TextureNumber number;
    GLenum target;
    int width, height; // -1: the picture's own size
    enum Kind { rgb, rgba, depth } kind;
};

GLuint attached(GLenum attachment)
{
    GLint name = 0;
    glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, attachment,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &name);
    return static_cast<GLuint>(name);
}

// Runs a display list in feedback mode with a projection that maps the
// grid's [0, 1] square to window pixels 256..768: x and y come back as
// 256 + 512 * coordinate, exactly.
struct Feedback {
    std::vector<float> points; // x, y pairs
    std::vector<float> lines;  // x0, y0, x1, y1
};

Feedback feed_back(GLuint list)
{
    std::vector<GLfloat> buffer(1 << 21);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(list);
    const GLint used = glRenderMode(GL_RENDER);
    Feedback out;
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    for (GLint k = 0; k < used;) {
        const GLint token = static_cast<GLint>(buffer[static_cast<std::size_t>(k)]);
        if (token == GL_POINT_TOKEN) {
            out.points.insert(out.points.end(), &buffer[k + 1], &buffer[k + 3]);
            k += 3;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            out.lines.insert(out.lines.end(), &buffer[k + 1], &buffer[k + 5]);
            k += 5;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return out;
}

class ShowSetup : public GlTest
{
  protected:
    static void SetUpTestSuite()
    {
        GlTest::SetUpTestSuite();
        missing_ = whole_show::missing_files(whole_show::source_data());
        if (!missing_.empty()) {
            return;
        }
        fs::current_path(whole_show::source_data()); // for the suite, as its context
        render_width = render_w;
        render_height = render_h;
        ctx_ = new RenderTargets;
        ctx_->create_render_set(RenderSetNumber{0}, render_w, render_h, 0);
        ctx_->create_render_set(RenderSetNumber{1}, render_w / 2, render_h / 2, 0);
        ctx_->create_render_set(RenderSetNumber{2}, render_w / 4, render_h / 4, 0);
        ctx_->create_render_set(RenderSetNumber{3}, 512, 512, 0);
        ctx_->progress_callback = count_progress;
        segment_ = new part_start;
        random_seed(1);                     // the state the show starts from
        testing::internal::CaptureStdout(); // the shader compile messages
        // In the steps a page presents between (setup() runs the same).
        while (segment_->setup_step(*ctx_))
            ++setup_steps_;
        shader_messages_ = testing::internal::GetCapturedStdout();
        ShaderProgram::unuse_program();
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }

    void SetUp() override
    {
        GlTest::SetUp();
        if (!missing_.empty()) {
            GTEST_SKIP() << "the show's data files are not in data/ yet: " << missing_;
        }
    }

    static inline std::string missing_;
    static inline int setup_steps_ = 0;
    static inline std::string shader_messages_;
    static inline RenderTargets *ctx_ = nullptr; // lives with the GL context
    static inline part_start *segment_ = nullptr;
};

} // namespace

TEST_F(ShowSetup, loading_screen_gets_exactly_three_progress_frames)
{
    EXPECT_EQ(progress_frames, 3) << "letters, logo and background report; the normal map does not";
}

TEST_F(ShowSetup, set_up_in_steps_ends_once_and_stays_ended)
{
    EXPECT_EQ(setup_steps_, 5) << "programs, render textures, pictures, meshes, grids, then the warm-up";
    const int frames = progress_frames;
    EXPECT_FALSE(segment_->setup_step(*ctx_));
    EXPECT_FALSE(segment_->setup_step(*ctx_));
    EXPECT_EQ(progress_frames, frames) << "a step after the last loads nothing again";
}

TEST_F(ShowSetup, clocks_start_at_zero_and_every_file_was_found)
{
    EXPECT_EQ(segment_->scene_time, 0.0);
    EXPECT_EQ(segment_->raw_time, 0.0);
    EXPECT_EQ(segment_->frame_counter, 0);
    EXPECT_EQ(segment_->texture_base, 0);
    EXPECT_EQ(shader_messages_.find("Cannot open shader source file."), std::string::npos);
    for (const ObjMesh *mesh : {&segment_->city, &segment_->title, &segment_->vannel, &segment_->leaves}) {
        EXPECT_TRUE(mesh->loaded);
        EXPECT_GT(mesh->triangle_count, 0);
    }
    EXPECT_GE(segment_->leaves.object_starts.size(), 7u)
        << "six leaf objects: the leaves pass draws object % 6";
    for (const ProgramSlot slot :
         {program::billboards, program::billboards_insect, program::billboards_leaves, program::stars,
          program::letters, program::lit_mesh, program::combine, program::blur, program::simple_blur,
          program::blur_highlights, program::god_rays, program::velocities}) {
        GLint linked = GL_FALSE;
        glGetProgramiv(segment_->shaders.program(slot), GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << "program slot " << slot.value;
    }
}

TEST_F(ShowSetup, every_texture_has_its_size_format_and_settings)
{
    using T = TextureExpectation;
    const TextureExpectation table[] = {
        {tex::random_rgb, GL_TEXTURE_2D, 1024, 1024, T::rgb},
        {tex::spectrum, GL_TEXTURE_1D, 512, 1, T::rgb},
        {tex::scene_colour, GL_TEXTURE_2D, render_w, render_h, T::rgba},
        {tex::quarter_colour, GL_TEXTURE_2D, 341, 192, T::rgba},
        {tex::scene_glow, GL_TEXTURE_2D, render_w, render_h, T::rgba},
        {tex::spare_colour, GL_TEXTURE_2D, render_w, render_h, T::rgba},
        {tex::scene_depth, GL_TEXTURE_2D, render_w, render_h, T::depth},
        {tex::mesh_depth, GL_TEXTURE_2D, render_w, render_h, T::depth},
        {tex::height_map, GL_TEXTURE_2D, 512, 512, T::rgba},
        {tex::height_map_depth, GL_TEXTURE_2D, 512, 512, T::depth},
        {tex::normal_map, GL_TEXTURE_2D, -1, -1, T::rgb},
        {tex::letters, GL_TEXTURE_2D, -1, -1, T::rgb},
        {tex::logo, GL_TEXTURE_2D, -1, -1, T::rgb},
        {tex::background, GL_TEXTURE_2D, -1, -1, T::rgb},
    };
    for (const TextureExpectation &e : table) {
        SCOPED_TRACE("texture " + std::to_string(e.number.value));
        const GLuint name = ctx_->textures[e.number];
        ASSERT_NE(name, 0u);
        ASSERT_EQ(glIsTexture(name), GL_TRUE);
        glBindTexture(e.target, name);
        ASSERT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR)) << "bound to the wrong target";
        if (e.width >= 0) {
            EXPECT_EQ(level0(e.target, GL_TEXTURE_WIDTH), e.width);
            EXPECT_EQ(level0(e.target, GL_TEXTURE_HEIGHT), e.height);
        } else {
            EXPECT_GT(level0(e.target, GL_TEXTURE_WIDTH), 0);
            EXPECT_GT(level0(e.target, GL_TEXTURE_HEIGHT), 0);
        }
        switch (e.kind) {
        case T::depth:
            EXPECT_GE(level0(e.target, GL_TEXTURE_DEPTH_SIZE), 24);
            break;
        case T::rgba:
            EXPECT_EQ(level0(e.target, GL_TEXTURE_ALPHA_SIZE), 8);
            break;
        case T::rgb:
            EXPECT_EQ(level0(e.target, GL_TEXTURE_RED_SIZE), 8);
            EXPECT_EQ(level0(e.target, GL_TEXTURE_ALPHA_SIZE), 0);
            break;
        }
        glBindTexture(e.target, 0);
    }

    // Settings made right after creation, on the texture just made.
    for (TextureNumber number : {tex::scene_colour, tex::quarter_colour, tex::scene_glow, tex::spare_colour,
                                 tex::scene_depth, tex::mesh_depth, tex::logo}) {
        glBindTexture(GL_TEXTURE_2D, ctx_->textures[number]);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE) << number;
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE) << number;
    }
    for (TextureNumber number : {tex::random_rgb, tex::letters, tex::background}) {
        glBindTexture(GL_TEXTURE_2D, ctx_->textures[number]);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_REPEAT) << number;
    }
    glBindTexture(GL_TEXTURE_2D, ctx_->textures[tex::height_map]);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(ShowSetup, noise_images_follow_the_generator_in_creation_order)
{
    // 27 first (RGB, 1024 x 1024), then the 1D texture draws nothing, then
    // texture 0 takes the next numbers. The textures step on its own: the
    // set-up's warm-up draws into texture 0 afterwards.
    random_seed(1);
    const std::vector<unsigned char> random_rgb = noise_pixels_rgb(1024, 1024);
    const std::vector<unsigned char> scene_colour = noise_pixels_rgba(render_w, render_h);
    RenderTargets fresh;
    random_seed(1);
    create_show_textures(fresh, render_w, render_h);

    std::vector<unsigned char> back(random_rgb.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, fresh.textures[tex::random_rgb]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_TRUE(back == random_rgb) << "texture 27 is not the first noise from state 1";

    back.assign(scene_colour.size(), 0);
    glBindTexture(GL_TEXTURE_2D, fresh.textures[tex::scene_colour]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, back.data());
    EXPECT_TRUE(back == scene_colour) << "texture 0 does not continue where texture 27 ended";
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(ShowSetup, attachments_are_in_place_and_complete)
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT,
                         ctx_->sets[static_cast<std::size_t>(render_set::scene.value)].texture_framebuffer);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    EXPECT_EQ(attached(GL_COLOR_ATTACHMENT0_EXT), ctx_->textures[tex::scene_colour]);
    EXPECT_EQ(attached(GL_COLOR_ATTACHMENT1_EXT), ctx_->textures[tex::scene_glow]);
    EXPECT_EQ(attached(GL_DEPTH_ATTACHMENT_EXT), ctx_->textures[tex::scene_depth]);

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT,
                         ctx_->sets[static_cast<std::size_t>(render_set::half.value)].texture_framebuffer);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    EXPECT_EQ(attached(GL_COLOR_ATTACHMENT0_EXT), ctx_->textures[tex::quarter_colour]);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

TEST_F(ShowSetup, grids_hold_the_specified_points_and_lines)
{
    for (GLuint list : {666u, 1666u, 668u, 667u}) {
        EXPECT_EQ(glIsList(list), GL_TRUE) << list;
    }
    // 668 and 667 are finished after the first frame, a few pieces a step.
    EXPECT_FALSE(segment_->grids->offset.complete());
    EXPECT_FALSE(segment_->grids->lines.complete());
    int steps = 0;
    while (segment_->continue_setup(*ctx_))
        ASSERT_LT(++steps, 100) << "the set-up's remainder does not end";
    EXPECT_GT(steps, 10) << "the remainder comes in small steps";
    EXPECT_FALSE(segment_->continue_setup(*ctx_)) << "nothing left once it has ended";
    EXPECT_TRUE(segment_->grids->offset.complete());
    EXPECT_TRUE(segment_->grids->lines.complete());

    glViewport(0, 0, 1024, 1024);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.5, 1.5, -0.5, 1.5, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // Window x = 256 + 512 u: the lattice index plus 256.
    auto check_points = [](GLuint list, int i_step, int j_step, float dx, std::size_t count) {
        SCOPED_TRACE("display list " + std::to_string(list));
        const Feedback fb = feed_back(list);
        ASSERT_EQ(fb.points.size() / 2, count);
        ASSERT_TRUE(fb.lines.empty());
        std::vector<char> seen(512 * 512, 0);
        for (std::size_t k = 0; k < fb.points.size(); k += 2) {
            const float x = fb.points[k] - 256.0f - dx;
            const float y = fb.points[k + 1] - 256.0f;
            const int i = static_cast<int>(x), j = static_cast<int>(y);
            ASSERT_EQ(static_cast<float>(i), x);
            ASSERT_EQ(static_cast<float>(j), y);
            ASSERT_TRUE(i >= 0 && i < 512 && j >= 0 && j < 512);
            ASSERT_EQ(i % i_step, 0);
            ASSERT_EQ(j % j_step, 0);
            ASSERT_FALSE(seen[static_cast<std::size_t>(i * 512 + j)]) << "point twice: " << i << ", " << j;
            seen[static_cast<std::size_t>(i * 512 + j)] = 1;
        }
    };
    check_points(666, 1, 1, 0.0f, 262144);
    check_points(1666, 3, 4, 0.0f, 171u * 128u);
    check_points(668, 1, 1, 0.5f, 262144);

    const Feedback fb = feed_back(667);
    ASSERT_EQ(fb.lines.size() / 4, 262144u);
    EXPECT_TRUE(fb.points.empty());
    std::vector<char> seen(512 * 512, 0);
    for (std::size_t k = 0; k < fb.lines.size(); k += 4) {
        const int i = static_cast<int>(fb.lines[k] - 256.0f);
        const int j = static_cast<int>(fb.lines[k + 1] - 256.0f);
        ASSERT_EQ(fb.lines[k + 2], fb.lines[k] + 1.0f) << "a segment spans one grid step in x";
        ASSERT_EQ(fb.lines[k + 3], fb.lines[k + 1]);
        ASSERT_TRUE(i >= 0 && i < 512 && j >= 0 && j < 512);
        seen[static_cast<std::size_t>(i * 512 + j)] = 1;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 262144);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

// Draws the frame at scene time t as the tick would (generator reseeded,
// step 0) and returns the window's picture.
std::vector<std::uint8_t> draw_show_frame(part_start &show, RenderTargets &ctx, double t)
{
    show.scene_time = show.raw_time = t;
    random_seed(1234);
    FrameInfo info;
    const double no_step = 0.0;
    show.draw(&no_step, ctx, &info);
    return read_back_frame_rgb(GlTest::width, GlTest::height);
}

// Last in this file: it draws frames and leaves the clocks where it found them.
TEST_F(ShowSetup, a_warm_up_between_frames_changes_nothing_the_show_draws_or_keeps)
{
    const int saved_sizes[] = {window_width, window_height};
    window_width = GlTest::width;
    window_height = GlTest::height;

    // At 30 s the top view does not run: the frame samples the height map
    // that 4 s left. The insect scene's warm-up at 170 s runs a top view of
    // its own, which must not reach the map.
    draw_show_frame(*segment_, *ctx_, 4.0);
    const auto map = read_back_table_texture_rgba(*ctx_, tex::height_map, 512, 512);
    const auto before = draw_show_frame(*segment_, *ctx_, 30.0);

    segment_->scene_time = 12.5;
    segment_->raw_time = 13.0;
    segment_->frame_counter = 4;
    window_width = 800;
    window_height = 450;
    const CameraRecord main_camera = ctx_->main_camera;
    const CameraRecord second_camera = ctx_->second_camera;
    FrameInfo *const frame_info = ctx_->frame_info;
    const GLuint map_name = ctx_->textures[tex::height_map];
    random_seed(77);

    warm_up_show_at(*segment_, *ctx_, 170.0);

    EXPECT_EQ(random_state(), 77u);
    EXPECT_EQ(segment_->scene_time, 12.5);
    EXPECT_EQ(segment_->raw_time, 13.0);
    EXPECT_EQ(segment_->frame_counter, 4);
    EXPECT_EQ(window_width, 800);
    EXPECT_EQ(window_height, 450);
    EXPECT_EQ(render_width, render_w);
    EXPECT_EQ(render_height, render_h);
    EXPECT_EQ(std::memcmp(&ctx_->main_camera, &main_camera, sizeof main_camera), 0);
    EXPECT_EQ(std::memcmp(&ctx_->second_camera, &second_camera, sizeof second_camera), 0);
    EXPECT_EQ(ctx_->frame_info, frame_info);
    EXPECT_EQ(ctx_->textures[tex::height_map], map_name);
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE) << "the warm-up's scissor outlived it";
    EXPECT_TRUE(read_back_table_texture_rgba(*ctx_, tex::height_map, 512, 512) == map)
        << "the warm-up's top view reached the height map";
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));

    window_width = GlTest::width;
    window_height = GlTest::height;
    EXPECT_TRUE(draw_show_frame(*segment_, *ctx_, 30.0) == before) << "the next frame differs";
    // The grids call all their pieces again (identity matrices: every
    // point of [0, 1) is in view).
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    EXPECT_EQ(feed_back(static_cast<GLuint>(display_list::grid.value)).points.size() / 2, 262144u);
    EXPECT_EQ(feed_back(static_cast<GLuint>(display_list::sparse_grid.value)).points.size() / 2, 171u * 128u);

    segment_->scene_time = segment_->raw_time = 0.0;
    segment_->frame_counter = 0;
    window_width = saved_sizes[0];
    window_height = saved_sizes[1];
}
