// RenderTargets: the render-set operations (create, bind, attach, resolve,
// unbind) and binding a table texture. The texture factories and loaders
// live in their own files.
//
// Depends on: GL through GLEW (EXT framebuffer object, blit, multisample).
// Limits: framebuffer status is returned, never acted upon; GL objects are
// created once and go with the context. Numbers outside the tables are
// refused in every build.
#include "render/render_targets.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>

namespace
{
int clamp_set(RenderSetNumber set)
{
    return std::clamp(set.value, 0, RenderTargets::set_count - 1);
}
int clamp_colour_count(int count)
{
    return std::clamp(count, 1, 3);
}

GLuint make_renderbuffer(GLenum format, int width, int height, int samples)
{
    GLuint name = 0;
    glGenRenderbuffersEXT(1, &name);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, name);
    glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, samples, format, width, height);
    return name;
}
} // namespace

bool RenderTargets::valid_texture_number(TextureNumber number)
{
    if (number.value >= 0 && number.value < TextureTable::size)
        return true;
    std::fprintf(stderr, "Texture number %d is out of range.\n", number.value);
    return false;
}

bool RenderTargets::valid_set_number(RenderSetNumber set)
{
    if (set.value >= 0 && set.value < set_count)
        return true;
    std::fprintf(stderr, "Render set %d is out of range.\n", set.value);
    return false;
}

void RenderTargets::create_render_set(RenderSetNumber set, int width, int height, int samples)
{
    RenderSet &s = sets[clamp_set(set)];
    s.colour0 = make_renderbuffer(GL_RGBA8, width, height, samples);
    s.colour1 = make_renderbuffer(GL_RGBA8, width, height, samples);
    // The depth textures that receive resolves are GL_DEPTH_COMPONENT24 and a
    // depth blit needs matching formats, so the renderbuffer uses it too.
    s.depth = make_renderbuffer(GL_DEPTH_COMPONENT24, width, height, samples);

    glGenFramebuffersEXT(1, &s.render_framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, s.render_framebuffer);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                 s.colour0);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT1_EXT, GL_RENDERBUFFER_EXT,
                                 s.colour1);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, s.depth);

    glGenFramebuffersEXT(1, &s.texture_framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, s.texture_framebuffer);

    // The window's framebuffer is bound again on return: the loading screen
    // clears and draws right after the sets are made, and an attribute push
    // taken over a texture framebuffer would later put its draw buffer
    // (COLOR_ATTACHMENT0) back on the window, which is an error there.
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void RenderTargets::bind_render_set(RenderSetNumber set, int colour_count)
{
    static constexpr GLenum buffers[3] = {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT,
                                          GL_COLOR_ATTACHMENT2_EXT};
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, sets[clamp_set(set)].render_framebuffer);
    glDrawBuffers(clamp_colour_count(colour_count), buffers);
}

unsigned RenderTargets::attach_colour_texture(RenderSetNumber set, int attachment,
                                              TextureNumber texture_number)
{
    if (!valid_set_number(set) || !valid_texture_number(texture_number))
        return 0;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, sets[static_cast<std::size_t>(set.value)].texture_framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT + std::clamp(attachment, 0, 2),
                              GL_TEXTURE_2D, textures[texture_number], 0);
    return glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
}

unsigned RenderTargets::attach_depth_texture(RenderSetNumber set, TextureNumber texture_number)
{
    if (!valid_set_number(set) || !valid_texture_number(texture_number))
        return 0;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, sets[static_cast<std::size_t>(set.value)].texture_framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D,
                              textures[texture_number], 0);
    return glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
}

unsigned RenderTargets::resolve_render_set(RenderSetNumber set, int width, int height, int colour_count,
                                           bool copy_depth)
{
    if (!valid_set_number(set))
        return 0;
    const RenderSet &s = sets[static_cast<std::size_t>(set.value)];
    const auto bind_pair = [&s] {
        glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, s.render_framebuffer);
        glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, s.texture_framebuffer);
    };
    // One blit per colour attachment, each with its own buffer selection:
    // the blit copies only the selected read buffer.
    for (int k = 0; k < clamp_colour_count(colour_count); ++k) {
        bind_pair();
        glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT + k);
        glReadBuffer(GL_COLOR_ATTACHMENT0_EXT + k);
        glBlitFramebufferEXT(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    if (copy_depth) {
        bind_pair();
        glBlitFramebufferEXT(0, 0, width, height, 0, 0, width, height, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    }
    return glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
}

void RenderTargets::unbind_render_targets()
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void RenderTargets::bind_table_texture(TextureNumber number) const
{
    if (!valid_texture_number(number))
        return;
    glBindTexture(GL_TEXTURE_2D, textures[number]);
}
