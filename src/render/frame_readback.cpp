#include "render/frame_readback.h"

#include "render/render_targets.h"

#include <GL/glew.h>

#include <algorithm>

void wait_for_gl()
{
    glFinish();
}

std::vector<std::uint8_t> read_back_frame_rgb(int width, int height)
{
    return read_back_rect_rgb(0, 0, width, height);
}

std::vector<std::uint8_t> read_back_rect_rgb(int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(width) * height * 3);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    // GL gives the bottom row first.
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(rows.begin() + y * stride, rows.begin() + (y + 1) * stride,
                         rows.begin() + (height - 1 - y) * stride);
    return rows;
}

std::vector<std::uint8_t> read_back_table_texture_rgba(const RenderTargets &ctx, TextureNumber number,
                                                       int width, int height)
{
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
    glActiveTexture(GL_TEXTURE0);
    ctx.bind_table_texture(number);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

FrameReadbackRing::FrameReadbackRing(int width, int height) : width_(width), height_(height)
{
    glGenBuffers(2, buffers_);
    for (const unsigned b : buffers_) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, b);
        glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(width) * height * 3, nullptr,
                     GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

FrameReadbackRing::~FrameReadbackRing()
{
    glDeleteBuffers(2, buffers_);
}

bool FrameReadbackRing::start()
{
    if (queued_ == 2)
        return false;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[next_]);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    next_ = 1 - next_;
    ++queued_;
    return true;
}

bool FrameReadbackRing::take(std::vector<std::uint8_t> &rgb)
{
    if (queued_ == 0)
        return false;
    const int oldest = queued_ == 2 ? next_ : 1 - next_;
    const std::size_t stride = static_cast<std::size_t>(width_) * 3;
    rgb.resize(stride * height_);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[oldest]);
    const auto *rows = static_cast<const std::uint8_t *>(glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY));
    if (rows != nullptr) {
        // GL gives the bottom row first.
        for (int y = 0; y < height_; ++y)
            std::copy_n(rows + (height_ - 1 - y) * stride, stride, rgb.begin() + y * stride);
        glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    } else {
        std::fill(rgb.begin(), rgb.end(), std::uint8_t{0});
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    --queued_;
    return true;
}
