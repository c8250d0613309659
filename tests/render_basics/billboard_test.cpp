#include "support/gl_test_context.h"

#include "render/gl_helpers.h"
#include "render/render_targets.h"

#include <memory>

namespace
{
constexpr int w = 64, h = 64; // 8 pixels per unit over -4..4

struct Billboard : GlTest {
    std::unique_ptr<RenderTargets> rt = std::make_unique<RenderTargets>();

    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        rt->create_render_set(RenderSetNumber{0}, w, h, 0);
        rt->bind_render_set(RenderSetNumber{0}, 1);
        glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
        glViewport(0, 0, w, h);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-4, 4, -4, 4, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();

        // Two texels: red on the left, green on the right.
        const unsigned char texels[] = {255, 0, 0, 255, 0, 255, 0, 255};
        GLuint t = 0;
        glGenTextures(1, &t);
        glBindTexture(GL_TEXTURE_2D, t);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glEnable(GL_TEXTURE_2D);
    }

    // 'r', 'g' or '.' (background) at world position (x, y).
    static char at(double x, double y)
    {
        unsigned char p[4] = {};
        glReadPixels(static_cast<int>((x + 4) * 8), static_cast<int>((y + 4) * 8), 1, 1, GL_RGBA,
                     GL_UNSIGNED_BYTE, p);
        if (p[0] > 200 && p[1] < 50)
            return 'r';
        if (p[1] > 200 && p[0] < 50)
            return 'g';
        return p[0] < 10 && p[1] < 10 ? '.' : '?';
    }
    static void draw(double half_width, double half_height, bool face, float repeat)
    {
        const double rotation = 0.0;
        draw_billboard(rotation, half_width, half_height, face, repeat);
    }
};
} // namespace

TEST_F(Billboard, positive_half_width_keeps_the_image_the_right_way_round)
{
    draw(2, 1, false, 1.0f);
    EXPECT_EQ(at(-1, 0), 'r');
    EXPECT_EQ(at(1, 0), 'g');
    EXPECT_EQ(at(-2.5, 0), '.');
    EXPECT_EQ(at(0, 1.5), '.');
}

TEST_F(Billboard, negative_half_width_mirrors_at_the_same_size)
{
    draw(-2, 1, false, 1.0f);
    EXPECT_EQ(at(-1.9, 0), 'g');
    EXPECT_EQ(at(1.9, 0.9), 'r');
    EXPECT_EQ(at(-2.5, 0), '.');
    EXPECT_EQ(at(0, -1.5), '.');
}

TEST_F(Billboard, facing_the_viewer_drops_rotation_and_scale_but_keeps_position)
{
    glTranslatef(1, 0, 0);
    glRotatef(90, 0, 0, 1);
    glScalef(2, 2, 2);
    draw(1, 1, true, 1.0f);
    EXPECT_EQ(at(0.5, 0.5), 'r'); // x 0..1 is the left half of a quad at x = 1
    EXPECT_EQ(at(1.5, 0.5), 'g');
    EXPECT_EQ(at(2.5, 0.5), '.'); // a scaled quad would reach x = 3
    EXPECT_EQ(at(1.5, 1.5), '.');
}

TEST_F(Billboard, texture_repeat_two_shows_the_image_twice)
{
    draw(2, 1, false, 2.0f);
    EXPECT_EQ(at(-1.75, 0), 'r');
    EXPECT_EQ(at(-0.75, 0), 'g');
    EXPECT_EQ(at(0.25, 0), 'r');
    EXPECT_EQ(at(1.25, 0), 'g');
}

TEST_F(Billboard, reset_gl_state_leaves_depth_test_and_culling_alone)
{
    glEnable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    reset_gl_state();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLfloat c[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_EQ(c[0], 1.0f);
    EXPECT_EQ(c[3], 1.0f);
}
