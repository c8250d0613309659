// The camera-facing quad and the state helpers on WebGL2 (the CPU state of
// webgl_state.h stands in for GL 2's).
#include "render/gl_helpers.h"

#include "render/webgl/webgl_state.h"

#include <cmath>

void draw_billboard(const double &rotation, const double &half_width, const double &half_height,
                    bool face_viewer, float texture_repeat)
{
    WebGlState &state = WebGlState::current();
    state.matrix_mode(webgl_modelview);
    if (face_viewer) {
        // The position stays; rotation and scale go. GL 2 read the matrix
        // back as floats, so it is rounded to float here too.
        Matrix4 &m = state.top();
        for (double &v : m)
            v = static_cast<float>(v);
        m[0] = m[5] = m[10] = 1.0;
        m[1] = m[2] = m[4] = m[6] = m[8] = m[9] = 0.0;
    }
    state.multiply_top(rotation_matrix(static_cast<float>(rotation), 0.0, 0.0, 1.0));
    state.multiply_top(
        scale_matrix(static_cast<float>(std::fabs(half_width)), static_cast<float>(half_height), 0.0));

    const float t = texture_repeat;
    const bool mirrored = !(half_width > 0.0);
    const float left = mirrored ? t : 0.0f;
    const float right = mirrored ? 0.0f : t;
    // x, y, z, s, t; a fan of the quad's four corners in GL 2's order.
    const float v[] = {-1, -1, 0, left, 0, 1, -1, 0, right, 0, 1, 1, 0, right, t, -1, 1, 0, left, t};
    state.prepare_draw((1u << webgl_attribute::vertex) | (1u << webgl_attribute::tex_coord0));
    glBindBuffer(GL_ARRAY_BUFFER, state.stream_buffer());
    glBufferData(GL_ARRAY_BUFFER, sizeof v, v, GL_STREAM_DRAW);
    glVertexAttribPointer(webgl_attribute::vertex, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), nullptr);
    glVertexAttribPointer(webgl_attribute::tex_coord0, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float),
                          reinterpret_cast<const void *>(3 * sizeof(float)));
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void reset_gl_state()
{
    WebGlState &state = WebGlState::current();
    state.enable(GL_BLEND, false);
    state.attributes.lighting = false;
    state.attributes.texture_2d = false;
    state.attributes.colour = {1.0f, 1.0f, 1.0f, 1.0f};
}

void set_linear_filtering()
{
    // GL 2 sets the parameters of texture 0 without complaint; WebGL2 has
    // no texture 0 and reports an error.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (bound == 0)
        return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

void set_texture_filter(unsigned int texture, unsigned int filter)
{
    WebGlState::current().bind_texture_2d(texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(filter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(filter));
}

void load_gl_entry_points() {}

SavedGlAttributes::SavedGlAttributes()
{
    WebGlState::current().push_attributes(false, false);
}

SavedGlAttributes::~SavedGlAttributes()
{
    WebGlState::current().pop_attributes();
}
