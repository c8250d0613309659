// Texture factories of RenderTargets that need no image file: the 1D
// spectrum texture, depth textures and the random-noise textures.
//
// Each factory generates a new GL texture, stores its name in the
// TextureTable at the given number (overwriting, never deleting) and leaves
// it bound to its target on the active unit. Noise bytes come from
// noise_pixels.h, so the images depend only on the shared generator.
// Depends on: GL through GLEW, runtime/generator via noise_pixels.
// Limits: a texture number outside the table is refused with a message on
// standard error; negative sizes are treated as 0 (a texture with no image).
#include "render/noise_pixels.h"
#include "render/render_targets.h"

#include <GL/glew.h>

#include <algorithm>
#include <vector>

namespace
{

GLuint generate_into(TextureTable &table, TextureNumber number, GLenum target)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    table[number] = name;
    glBindTexture(target, name);
    return name;
}

void set_linear_filters(GLenum target)
{
    glTexParameterf(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

// Our buffers are tightly packed: rows of 3-byte texels need not be a
// multiple of 4 bytes long, so unpack with alignment 1 and put the caller's
// setting back afterwards.
class TightUnpack
{
  public:
    TightUnpack()
    {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &saved_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    ~TightUnpack() { glPixelStorei(GL_UNPACK_ALIGNMENT, saved_); }
    TightUnpack(const TightUnpack &) = delete;
    TightUnpack &operator=(const TightUnpack &) = delete;

  private:
    GLint saved_ = 4;
};

} // namespace

void RenderTargets::create_texture_1d(TextureNumber number, int width)
{
    if (!valid_texture_number(number)) {
        return;
    }
    generate_into(textures, number, GL_TEXTURE_1D);
    glTexParameterf(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    set_linear_filters(GL_TEXTURE_1D);
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, std::max(width, 0), 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
}

void RenderTargets::update_texture_1d(TextureNumber number, int width, const unsigned char *rgb)
{
    if (!valid_texture_number(number)) {
        return;
    }
    glBindTexture(GL_TEXTURE_1D, textures[number]);
    TightUnpack unpack;
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, rgb ? std::max(width, 0) : 0, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

void RenderTargets::create_depth_texture(TextureNumber number, int width, int height)
{
    if (!valid_texture_number(number)) {
        return;
    }
    generate_into(textures, number, GL_TEXTURE_2D);
    set_linear_filters(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_LUMINANCE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, std::max(width, 0), std::max(height, 0), 0,
                 GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
}

void RenderTargets::create_noise_texture_rgb(TextureNumber number, int width, int height)
{
    if (!valid_texture_number(number)) {
        return;
    }
    // Negative sizes draw no numbers, like zero sizes.
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<unsigned char> pixels = noise_pixels_rgb(width, height);
    generate_into(textures, number, GL_TEXTURE_2D);
    set_linear_filters(GL_TEXTURE_2D);
    TightUnpack unpack;
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 pixels.empty() ? nullptr : pixels.data());
}

void RenderTargets::create_noise_texture_rgba(TextureNumber number, int width, int height)
{
    if (!valid_texture_number(number)) {
        return;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<unsigned char> pixels = noise_pixels_rgba(width, height);
    generate_into(textures, number, GL_TEXTURE_2D);
    set_linear_filters(GL_TEXTURE_2D);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.empty() ? nullptr : pixels.data());
}
