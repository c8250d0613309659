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
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(width) * height * 3);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    // GL gives the bottom row first.
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(rows.begin() + y * stride, rows.begin() + (y + 1) * stride,
                         rows.begin() + (height - 1 - y) * stride);
    return rows;
}

std::vector<std::uint8_t> read_back_table_texture_rgba(const RenderTargets &ctx, int number, int width,
                                                       int height)
{
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
    glActiveTexture(GL_TEXTURE0);
    ctx.bind_table_texture(number);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}
