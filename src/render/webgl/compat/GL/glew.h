// The browser build's stand-in for GLEW: WebGL2 speaks GLES 3, so the
// render module's portable files (render sets, texture factories and
// loaders, shader building) compile against it unchanged. The desktop's EXT
// framebuffer names map onto the core ones; the few calls GLES 3 lacks or
// takes differently (1-D textures, unsized internal formats, one draw
// buffer, the fixed-function matrices of the projective texture, shader
// sources in GLSL 1.20) go through webgl_state.h, which keeps the CPU side.
#pragma once

#include <GLES3/gl3.h>

#include "render/webgl/webgl_hooks.h"

#define glBindFramebufferEXT glBindFramebuffer
#define glBindRenderbufferEXT glBindRenderbuffer
#define glBlitFramebufferEXT glBlitFramebuffer
#define glCheckFramebufferStatusEXT glCheckFramebufferStatus
#define glFramebufferRenderbufferEXT glFramebufferRenderbuffer
#define glFramebufferTexture2DEXT glFramebufferTexture2D
#define glGenFramebuffersEXT glGenFramebuffers
#define glGenRenderbuffersEXT glGenRenderbuffers
#define glRenderbufferStorageMultisampleEXT glRenderbufferStorageMultisample
#define GL_FRAMEBUFFER_EXT GL_FRAMEBUFFER
#define GL_RENDERBUFFER_EXT GL_RENDERBUFFER
#define GL_READ_FRAMEBUFFER_EXT GL_READ_FRAMEBUFFER
#define GL_DRAW_FRAMEBUFFER_EXT GL_DRAW_FRAMEBUFFER
#define GL_COLOR_ATTACHMENT0_EXT GL_COLOR_ATTACHMENT0
#define GL_COLOR_ATTACHMENT1_EXT GL_COLOR_ATTACHMENT1
#define GL_COLOR_ATTACHMENT2_EXT GL_COLOR_ATTACHMENT2
#define GL_DEPTH_ATTACHMENT_EXT GL_DEPTH_ATTACHMENT

// 1-D textures are 2-D textures one row high.
#define GL_TEXTURE_1D GL_TEXTURE_2D
#define GL_CLAMP GL_CLAMP_TO_EDGE
#define GL_DEPTH_TEXTURE_MODE 0x884B
#define glTexImage1D(target, level, internal, width, border, format, type, pixels)                           \
    webgl_tex_image_2d(target, level, internal, width, 1, border, format, type, pixels)
#define glTexImage2D webgl_tex_image_2d
#define glTexParameteri webgl_tex_parameteri
#define glDrawBuffer webgl_draw_buffer

#define glShaderSource webgl_shader_source
#define glLinkProgram webgl_link_program
#define glUseProgram webgl_use_program
#define glActiveTexture webgl_active_texture
#define glBindTexture webgl_bind_texture

#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_TEXTURE 0x1702
#define glMatrixMode webgl_matrix_mode
#define glLoadIdentity webgl_load_identity
#define glTranslatef webgl_translate
#define glScalef webgl_scale
