// The camera-facing quad and the small GL state helpers.
// Depends on: GL through GLEW (fixed-function matrices, immediate mode).
#include "render/gl_helpers.h"

#include <GL/glew.h>

#include <cmath>

void draw_billboard(const double &rotation, const double &half_width, const double &half_height,
                    bool face_viewer, float texture_repeat)
{
    if (face_viewer) {
        // Keep the position (and the fourth row and column), drop rotation
        // and scale so the quad faces the viewer at its own size.
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        m[0] = m[5] = m[10] = 1.0f;
        m[1] = m[2] = m[4] = m[6] = m[8] = m[9] = 0.0f;
        glLoadMatrixf(m);
    }
    glRotatef(static_cast<GLfloat>(rotation), 0.0f, 0.0f, 1.0f);
    glScalef(static_cast<GLfloat>(std::fabs(half_width)), static_cast<GLfloat>(half_height), 0.0f);

    const float t = texture_repeat;
    // A half-width of zero or less mirrors the image left to right.
    const bool mirrored = !(half_width > 0.0);
    const float left = mirrored ? t : 0.0f;
    const float right = mirrored ? 0.0f : t;
    glBegin(GL_QUADS);
    glTexCoord2f(left, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(right, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(right, t);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(left, t);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glEnd();
}

void reset_gl_state()
{
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHT0);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_FOG);
}

void set_linear_filtering()
{
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR));
}

void set_texture_filter(GLuint texture, GLenum filter)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(filter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(filter));
}

void load_gl_entry_points()
{
    glewInit();
}

SavedGlAttributes::SavedGlAttributes()
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
}

SavedGlAttributes::~SavedGlAttributes()
{
    glPopAttrib();
}
