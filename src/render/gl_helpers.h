// Small fixed-function helpers: the camera-facing quad and GL state resets.
// Depends on: GL through GLEW.
#pragma once

// One quad centred on the current modelview origin. With face_viewer set the
// upper-left 3x3 of the modelview becomes the identity first (the quad keeps
// its position, loses rotation and scale). A half-width <= 0 mirrors the
// texture left to right; its absolute value sets the size. Changes the
// modelview matrix and does not restore it.
void draw_billboard(const double &rotation, const double &half_width, const double &half_height,
                    bool face_viewer, float texture_repeat);

// Blending, lighting, colour material, light 0 and 2-D texturing off,
// colour (1, 1, 1, 1), fog off, in that order.
void reset_gl_state();

// Linear magnification and minification on the bound GL_TEXTURE_2D.
void set_linear_filtering();

// Binds `texture` to GL_TEXTURE_2D on the active unit with `filter`
// (GL_NEAREST or GL_LINEAR) for magnification and minification. A pass
// that reads a picture only at its texel centres asks for GL_NEAREST: the
// same values, and a software renderer fetches one texel instead of four.
void set_texture_filter(unsigned int texture, unsigned int filter);

// Loads the GL entry points for the current context (GLEW). The result is
// not examined: a missing entry point shows up as a GL error where used.
void load_gl_entry_points();

// Saves every GL attribute group; the destructor restores them.
class SavedGlAttributes
{
  public:
    SavedGlAttributes();
    ~SavedGlAttributes();
    SavedGlAttributes(const SavedGlAttributes &) = delete;
    SavedGlAttributes &operator=(const SavedGlAttributes &) = delete;
};
