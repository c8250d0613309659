#include "support/gl_test_context.h"

#include "render/render_targets.h"

#include <memory>
#include <vector>

namespace
{
constexpr int w = 64, h = 64;
constexpr TextureNumber colour_tex{5}, colour2_tex{7}, depth_tex{6};

struct RenderSets : GlTest {
    std::unique_ptr<RenderTargets> rt = std::make_unique<RenderTargets>();

    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        rt->textures[colour_tex] = make_texture(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, w, h);
        rt->textures[colour2_tex] = make_texture(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, w, h);
        rt->textures[depth_tex] =
            make_texture(GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, w, h);
    }

    std::vector<unsigned char> read_colour(TextureNumber number) const
    {
        std::vector<unsigned char> px(w * h * 4);
        glBindTexture(GL_TEXTURE_2D, rt->textures[number]);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    }
    static const unsigned char *at(const std::vector<unsigned char> &px, int x, int y)
    {
        return &px[(y * w + x) * 4];
    }
    void fill_texture(TextureNumber number, unsigned char value) const
    {
        std::vector<unsigned char> px(w * h * 4, value);
        glBindTexture(GL_TEXTURE_2D, rt->textures[number]);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    }
    static GLint binding()
    {
        GLint b = -1;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &b);
        return b;
    }
};

void expect_rgb(const unsigned char *p, int r, int g, int b)
{
    EXPECT_EQ(p[0], r);
    EXPECT_EQ(p[1], g);
    EXPECT_EQ(p[2], b);
}
} // namespace

TEST_F(RenderSets, drawn_colour_and_depth_arrive_in_the_textures)
{
    rt->create_render_set(RenderSetNumber{0}, w, h, 0);
    EXPECT_EQ(binding(), 0); // the window's, for the loading screen that follows
    EXPECT_EQ(rt->attach_colour_texture(RenderSetNumber{0}, 0, colour_tex),
              GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));
    EXPECT_EQ(rt->attach_depth_texture(RenderSetNumber{0}, depth_tex), GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));

    rt->bind_render_set(RenderSetNumber{0}, 1);
    glViewport(0, 0, w, h);
    glClearColor(0, 0, 1, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 0, 0);
    glBegin(GL_QUADS); // left half at NDC depth 0.5: window depth 0.75
    glVertex3f(-1, -1, 0.5f);
    glVertex3f(0, -1, 0.5f);
    glVertex3f(0, 1, 0.5f);
    glVertex3f(-1, 1, 0.5f);
    glEnd();

    EXPECT_EQ(rt->resolve_render_set(RenderSetNumber{0}, w, h, 1, true), GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    rt->unbind_render_targets();
    EXPECT_EQ(binding(), 0);

    const auto px = read_colour(colour_tex);
    expect_rgb(at(px, 10, 32), 255, 0, 0);
    expect_rgb(at(px, 50, 32), 0, 0, 255);

    std::vector<float> depth(w * h);
    glBindTexture(GL_TEXTURE_2D, rt->textures[depth_tex]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    EXPECT_NEAR(depth[32 * w + 10], 0.75f, 1e-3);
    EXPECT_NEAR(depth[32 * w + 50], 1.0f, 1e-3);
}

TEST_F(RenderSets, each_output_resolves_to_its_texture_and_only_the_given_rectangle)
{
    rt->create_render_set(RenderSetNumber{1}, w, h, 0);
    rt->attach_colour_texture(RenderSetNumber{1}, 0, colour_tex);
    rt->attach_colour_texture(RenderSetNumber{1}, 1, colour2_tex);
    fill_texture(colour_tex, 0x40);
    fill_texture(colour2_tex, 0x40);

    rt->bind_render_set(RenderSetNumber{1}, 2); // both outputs red
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    rt->bind_render_set(RenderSetNumber{1}, 1); // then only the first green
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    rt->resolve_render_set(RenderSetNumber{1}, 32, 32, 2, false);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const auto first = read_colour(colour_tex);
    const auto second = read_colour(colour2_tex);
    expect_rgb(at(first, 5, 5), 0, 255, 0);
    expect_rgb(at(second, 5, 5), 255, 0, 0);
    expect_rgb(at(first, 40, 5), 0x40, 0x40, 0x40); // outside the rectangle: kept
    expect_rgb(at(second, 5, 40), 0x40, 0x40, 0x40);
}

TEST_F(RenderSets, set_numbers_and_colour_counts_are_clamped)
{
    rt->create_render_set(RenderSetNumber{99}, 16, 16, 0);
    EXPECT_NE(rt->sets[15].render_framebuffer, 0u);
    EXPECT_NE(rt->sets[15].texture_framebuffer, 0u);
    rt->create_render_set(RenderSetNumber{-4}, 16, 16, 0);
    EXPECT_NE(rt->sets[0].render_framebuffer, 0u);
    for (int s = 1; s < 15; ++s)
        EXPECT_EQ(rt->sets[s].render_framebuffer, 0u) << s;

    GLint buffer = 0;
    rt->bind_render_set(RenderSetNumber{40}, 0);
    EXPECT_EQ(binding(), static_cast<GLint>(rt->sets[15].render_framebuffer));
    glGetIntegerv(GL_DRAW_BUFFER0, &buffer);
    EXPECT_EQ(buffer, GL_COLOR_ATTACHMENT0_EXT);
    glGetIntegerv(GL_DRAW_BUFFER1, &buffer);
    EXPECT_EQ(buffer, GL_NONE);

    rt->bind_render_set(RenderSetNumber{-1}, 9);
    EXPECT_EQ(binding(), static_cast<GLint>(rt->sets[0].render_framebuffer));
    glGetIntegerv(GL_DRAW_BUFFER2, &buffer);
    EXPECT_EQ(buffer, GL_COLOR_ATTACHMENT2_EXT);

    // An attachment above 2 lands on the third colour attachment.
    rt->attach_colour_texture(RenderSetNumber{0}, 7, colour_tex);
    GLint name = 0;
    glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT2_EXT,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &name);
    EXPECT_EQ(name, static_cast<GLint>(rt->textures[colour_tex]));
}

TEST_F(RenderSets, odd_sizes_halve_toward_zero)
{
    // Start-up sizes sets 1 and 2 by integer division: 1366 gives 683 and 341.
    EXPECT_EQ(1366 / 2, 683);
    EXPECT_EQ(1366 / 4, 341);
    rt->create_render_set(RenderSetNumber{1}, 1366 / 2, 768 / 2, 0);
    rt->bind_render_set(RenderSetNumber{1}, 1);
    GLint width = 0;
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, rt->sets[1].depth);
    glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_WIDTH_EXT, &width);
    EXPECT_EQ(width, 683);
    GLint format = 0;
    glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_INTERNAL_FORMAT_EXT, &format);
    EXPECT_EQ(format, GL_DEPTH_COMPONENT24);
}

// Release builds drop asserts: numbers from outside the tables are refused
// in every build, binding nothing and reporting no framebuffer status.
TEST_F(RenderSets, numbers_outside_the_tables_are_refused)
{
    rt->create_render_set(RenderSetNumber{0}, w, h, 0);
    rt->unbind_render_targets();
    for (int set : {-1, RenderTargets::set_count}) {
        EXPECT_EQ(rt->attach_colour_texture(RenderSetNumber{set}, 0, colour_tex), 0u) << set;
        EXPECT_EQ(rt->attach_depth_texture(RenderSetNumber{set}, depth_tex), 0u) << set;
        EXPECT_EQ(rt->resolve_render_set(RenderSetNumber{set}, w, h, 1, true), 0u) << set;
        EXPECT_EQ(binding(), 0) << set;
    }
    for (int number : {-2, -1, 10000}) {
        EXPECT_EQ(rt->attach_colour_texture(RenderSetNumber{0}, 0, TextureNumber{number}), 0u) << number;
        EXPECT_EQ(rt->attach_depth_texture(RenderSetNumber{0}, TextureNumber{number}), 0u) << number;
        EXPECT_EQ(binding(), 0) << number;
    }
    glBindTexture(GL_TEXTURE_2D, rt->textures[colour_tex]);
    rt->progress_callback = [](double) {};
    for (int number : {-2, -1, 10000})
        rt->bind_table_texture(TextureNumber{number});
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(rt->textures[colour_tex]));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
