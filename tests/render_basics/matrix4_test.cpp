// Our matrix functions against what GLU and the GL matrix stack make of the
// same calls, for a dozen of the show's cameras and placements: a backend
// that loads our matrices draws what the GL backend's calls draw.
#include "support/gl_test_context.h"

#include "render/matrix4.h"

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace
{

struct CameraCase {
    Vector3 eye, centre, up;
    double fovy, aspect, z_near, z_far;
};

// The opening still camera, the orbits, the crane, the view from straight
// above (tilted up), the side view, the top view's and the second camera,
// at the show's projections.
const std::vector<CameraCase> cameras = {
    {{0, 10, 18}, {0, 0, 0}, {0, 0, 1}, 65.0, 16.0 / 9.0, 0.1, 1000.0},
    {{13.1, 4.9, 10}, {0, 0, 0}, {0, 0, 1}, 70.0, 16.0 / 9.0, 0.1, 1000.0},
    {{-20.5, 40.7, 9}, {0, 0, 0}, {0, 0, 1}, 62.3, 4.0 / 3.0, 0.1, 1000.0},
    {{31.2, -8.4, 5}, {0, 0, 6}, {0, 0, 1}, 85.0, 16.0 / 9.0, 0.1, 1000.0},
    {{0, -29.3, -5.1}, {0, -15, 0}, {0, 0, 1}, 65.0, 1366.0 / 768.0, 0.1, 1000.0},
    {{0, -21, 15.6}, {0, 0, 0}, {0, 0, 1}, 25.0, 16.0 / 9.0, 0.1, 1000.0},
    {{-38.2, 22.9, 44}, {0, 0, 0}, {0, 0, 1}, 50.0, 16.0 / 9.0, 0.1, 1000.0},
    {{0, 0, 64}, {0, 0, 0}, {1, 0, 1}, 65.0, 16.0 / 9.0, 0.1, 1000.0},
    {{71.5, -18.7, 44}, {0, 0, 0}, {0, 0, 1}, 84.9, 16.0 / 9.0, 0.1, 1000.0},
    {{42, 0, 9.4}, {0, 0.8, -3.1}, {0, 0, 1}, 65.0, 21.0 / 9.0, 0.1, 1000.0},
    {{0, 90, 0}, {0, 0, 0}, {0, 0, 1}, 65.0, 1.0, 0.1, 1000.0},
    {{0, 1, 0}, {0, 0, 0}, {1, 0, 0}, 65.0, 16.0 / 9.0, 1.0, 100.0},
};

std::array<double, 16> read(GLenum which)
{
    std::array<double, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}

// Within 1e-6 of the size of what went into the element. GL's stack keeps
// single-precision floats: an element made from a translation of 90 (the
// look-at's last column) is held only to some 8e-6, so there the size is
// the translation's.
void expect_near(const std::array<double, 16> &gl, const Matrix4 &ours, const std::string &what,
                 double translation = 0.0)
{
    for (int i = 0; i < 16; ++i) {
        const double size = std::max({1.0, std::fabs(ours[i]), i >= 12 ? translation : 0.0});
        EXPECT_NEAR(gl[i], ours[i], 1e-6 * size) << what << ", element " << i;
    }
}

double length(const Vector3 &v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

} // namespace

TEST_F(GlTest, perspective_and_look_at_equal_glus_for_a_dozen_cameras)
{
    for (std::size_t k = 0; k < cameras.size(); ++k) {
        const CameraCase &c = cameras[k];
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(c.fovy, c.aspect, c.z_near, c.z_far);
        expect_near(read(GL_PROJECTION_MATRIX), perspective_matrix(c.fovy, c.aspect, c.z_near, c.z_far),
                    "perspective " + std::to_string(k));
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1],
                  c.up[2]);
        expect_near(read(GL_MODELVIEW_MATRIX), look_at_matrix(c.eye, c.centre, c.up),
                    "look-at " + std::to_string(k), length(c.eye));

        // The projective texture matrix: bias x perspective x look-at, as
        // the stack builds it.
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glTranslatef(0.5f, 0.5f, 0.5f);
        glScalef(0.5f, 0.5f, 0.5f);
        gluPerspective(c.fovy, c.aspect, c.z_near, c.z_far);
        gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1],
                  c.up[2]);
        const Matrix4 ours =
            multiply(multiply(texture_bias_matrix(), perspective_matrix(c.fovy, c.aspect, c.z_near, c.z_far)),
                     look_at_matrix(c.eye, c.centre, c.up));
        expect_near(read(GL_TEXTURE_MATRIX), ours, "projective " + std::to_string(k), length(c.eye));
        glLoadIdentity();
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlTest, scales_rotations_and_translations_compose_as_the_stack_does)
{
    // The top view's placements: the common scales, the tilted city, the
    // insect, a spinning leaf.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScaled(0.1, 0.1, 0.1);
    glScaled(2.0, 2.0, 2.0);
    glScaled(0.57, 0.57, 0.57);
    glPushMatrix();
    glRotated(20.0, 1.0, 0.0, 0.0);
    glTranslated(0.0, 3.7, 0.0);
    const Matrix4 base = multiply(multiply(scale_matrix(0.1, 0.1, 0.1), scale_matrix(2.0, 2.0, 2.0)),
                                  scale_matrix(0.57, 0.57, 0.57));
    expect_near(
        read(GL_MODELVIEW_MATRIX),
        multiply(multiply(base, rotation_matrix(20.0, 1.0, 0.0, 0.0)), translation_matrix(0.0, 3.7, 0.0)),
        "city");
    glPopMatrix();
    glPushMatrix();
    glTranslated(-412.5, 2210.0, 130.25);
    glScaled(31.5, 31.5, 31.5);
    glRotated(-1234.5, 0.0, 1.0, 0.0);
    expect_near(read(GL_MODELVIEW_MATRIX),
                multiply(multiply(multiply(base, translation_matrix(-412.5, 2210.0, 130.25)),
                                  scale_matrix(31.5, 31.5, 31.5)),
                         rotation_matrix(-1234.5, 0.0, 1.0, 0.0)),
                "leaf");
    glPopMatrix();
    glLoadIdentity();
    glRotated(33.0, 1.0, 2.0, -0.5); // an axis that is not of unit length
    expect_near(read(GL_MODELVIEW_MATRIX), rotation_matrix(33.0, 1.0, 2.0, -0.5), "any axis");
    glLoadIdentity();
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}
