// Reading frames back on WebGL2: glReadPixels of RGBA (the one format every
// WebGL2 framebuffer reads as), repacked to the desktop's layouts.
#include "render/frame_readback.h"

#include "render/render_targets.h"

#include <GLES3/gl3.h>

#include <algorithm>

void wait_for_gl()
{
    glFinish();
}

std::vector<std::uint8_t> read_back_rect_rgb(int x, int y, int width, int height)
{
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t h = static_cast<std::size_t>(std::max(height, 0));
    std::vector<std::uint8_t> rgba(w * h * 4), rgb(w * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (std::size_t row = 0; row < h; ++row)
        for (std::size_t col = 0; col < w; ++col)
            for (std::size_t c = 0; c < 3; ++c)
                rgb[((h - 1 - row) * w + col) * 3 + c] = rgba[(row * w + col) * 4 + c];
    return rgb;
}

std::vector<std::uint8_t> read_back_frame_rgb(int width, int height)
{
    return read_back_rect_rgb(0, 0, width, height);
}

std::vector<std::uint8_t> read_back_table_texture_rgba(const RenderTargets &ctx, TextureNumber number,
                                                       int width, int height)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(std::max(width, 0) * std::max(height, 0) * 4));
    if (!RenderTargets::valid_texture_number(number))
        return rgba;
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, ctx.textures[number], 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    glDeleteFramebuffers(1, &framebuffer);
    return rgba;
}

FrameReadbackRing::FrameReadbackRing(int width, int height) : width_(width), height_(height) {}

FrameReadbackRing::~FrameReadbackRing() = default;

// No pixel-buffer maps in WebGL2: a start reads at once, a take hands it over.
bool FrameReadbackRing::start()
{
    if (queued_ == 2)
        return false;
    ++queued_;
    return true;
}

bool FrameReadbackRing::take(std::vector<std::uint8_t> &rgb)
{
    if (queued_ == 0)
        return false;
    --queued_;
    rgb = read_back_frame_rgb(width_, height_);
    return true;
}
