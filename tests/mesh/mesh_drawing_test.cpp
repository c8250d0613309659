// draw_objects on real GL (Mesa under Xvfb): which objects reach the picture,
// and which client-array state is left behind. Draws white triangles into a
// small offscreen framebuffer with the fixed-function pipeline and reads it.
#include "assets/mesh/obj_mesh.h"
#include "mesh_invariants.h"
#include "render/mesh_drawing.h"
#include "support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

namespace
{

constexpr int size = 32;

// Objects are quads in clip space: object 0 the lower-left quarter, object 1
// the lower-right quarter; the triangle before the first "o" (the upper half)
// belongs to no object and is never drawn.
const char *two_objects = "v -1 0.2 0\nv 1 0.2 0\nv 0 1 0\n"
                          "v -1 -1 0\nv 0 -1 0\nv 0 0 0\nv -1 0 0\n"
                          "v 0 -1 0\nv 1 -1 0\nv 1 0 0\nv 0 0 0\n"
                          "vn 0 0 1\n"
                          "f 1//1 2//1 3//1\n"
                          "o left\nf 4//1 5//1 6//1 7//1\n"
                          "o right\nf 8//1 9//1 10//1 11//1\n";

class MeshDrawing : public GlTest
{
  protected:
    static void SetUpTestSuite()
    {
        GlTest::SetUpTestSuite();
        glGenFramebuffersEXT(1, &fbo_);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo_);
        glGenRenderbuffersEXT(1, &colour_);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, colour_);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, size, size);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                     colour_);
        ASSERT_EQ(GL_FRAMEBUFFER_COMPLETE_EXT, glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT));
        glViewport(0, 0, size, size);
    }

    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NE(glDrawElementsInstancedEXT, nullptr) << "GL_EXT_draw_instanced is missing";
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
    }

    static std::unique_ptr<ObjMesh> mesh(const std::string &text)
    {
        auto m = std::make_unique<ObjMesh>();
        m->load_text(text, "test.obj", false);
        expect_mesh_invariants(*m);
        return m;
    }

    // Red channel at the centre of the upper half, lower-left and lower-right quarters.
    static std::array<int, 3> probe()
    {
        std::array<unsigned char, size * size * 4> px{};
        glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        auto red = [&](int x, int y) {
            return static_cast<int>(px[static_cast<std::size_t>((y * size + x) * 4)]);
        };
        return {red(size / 2, size * 7 / 8), red(size / 4, size / 4), red(size * 3 / 4, size / 4)};
    }

    static void expect_arrays_disabled()
    {
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    }

    // The suite's framebuffer, deleted with the suite's context.
    static inline GLuint fbo_ = 0, colour_ = 0;
};

} // namespace

TEST(MeshDrawingRange, object_numbers_map_to_ranges)
{
    auto r = object_range(1, 4); // three objects
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.end, 2);
    r = object_range(-1, 4);
    EXPECT_EQ(r.first, 0);
    EXPECT_EQ(r.end, 3);
    r = object_range(7, 4); // beyond the last: empty
    EXPECT_EQ(r.first, r.end);
    r = object_range(-1, 1); // no "o" line: no object
    EXPECT_EQ(r.first, r.end);
    r = object_range(0, 1);
    EXPECT_EQ(r.first, r.end);
    r = object_range(2147483647, 4);
    EXPECT_EQ(r.first, r.end);
}

TEST_F(MeshDrawing, one_object_then_all_objects)
{
    auto m = mesh(two_objects);
    ASSERT_EQ(m->object_starts, (std::vector<std::int32_t>{1, 3, 5}));

    draw_objects(*m, 0);
    EXPECT_EQ(probe(), (std::array<int, 3>{0, 255, 0}));
    expect_arrays_disabled();

    glClear(GL_COLOR_BUFFER_BIT);
    draw_objects(*m, 1);
    EXPECT_EQ(probe(), (std::array<int, 3>{0, 0, 255}));

    glClear(GL_COLOR_BUFFER_BIT);
    draw_objects(*m, -1);
    EXPECT_EQ(probe(), (std::array<int, 3>{0, 255, 255}));
    expect_arrays_disabled();

    glClear(GL_COLOR_BUFFER_BIT);
    draw_objects(*m, 2);
    EXPECT_EQ(probe(), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(MeshDrawing, meshes_without_objects_draw_nothing)
{
    auto no_o = mesh("v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nf 1 2 3 4\n");
    draw_objects(*no_o, -1);
    draw_objects(*no_o, 0);
    EXPECT_EQ(probe(), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(MeshDrawing, never_loaded_mesh_changes_no_gl_state)
{
    // Client pointers set to markers must survive, and nothing is enabled.
    static const float marker[4] = {};
    glVertexPointer(3, GL_FLOAT, 0, marker);
    glNormalPointer(GL_FLOAT, 0, marker + 1);
    glTexCoordPointer(2, GL_FLOAT, 0, marker + 2);
    ObjMesh never;
    draw_objects(never, -1);
    draw_objects(never, 0);
    GLvoid *p = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &p);
    EXPECT_EQ(p, marker);
    glGetPointerv(GL_NORMAL_ARRAY_POINTER, &p);
    EXPECT_EQ(p, marker + 1);
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &p);
    EXPECT_EQ(p, marker + 2);
    expect_arrays_disabled();
    EXPECT_EQ(probe(), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(GL_NO_ERROR, glGetError());

    // A mesh without texture coordinates leaves that array alone too.
    auto m = mesh(two_objects);
    draw_objects(*m, -1);
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &p);
    EXPECT_EQ(p, marker + 2);
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &p);
    EXPECT_EQ(p, static_cast<const void *>(m->vertices.data()));
}
