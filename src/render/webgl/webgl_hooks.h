// The GL calls the browser build takes over from the portable render files
// (compat/GL/glew.h renames them to these): each does in WebGL2 what the
// desktop call does in GL 2, keeping fixed-function state on the CPU.
// Depends on: GLES 3 headers. GL thread only.
#pragma once

#include <GLES3/gl3.h>

// Unsized internal formats 3 and 4 become GL_RGB and GL_RGBA; a depth
// texture gets nearest filters (WebGL2 does not filter depth linearly).
void webgl_tex_image_2d(GLenum target, GLint level, GLint internal, GLsizei width, GLsizei height,
                        GLint border, GLenum format, GLenum type, const void *pixels);
// GL_DEPTH_TEXTURE_MODE does not exist in GLES 3 (depth reads as red): ignored.
void webgl_tex_parameteri(GLenum target, GLenum name, GLint value);
// One draw buffer: GLES 3 wants attachment N at position N of the list.
void webgl_draw_buffer(GLenum buffer);

// GLSL 1.20 in, GLSL ES 3.00 to the driver; the stage comes from the
// shader object. A source that does not translate compiles as a stub that
// fails with the translator's message as its log.
void webgl_shader_source(GLuint shader, GLsizei count, const GLchar *const *text, const GLint *length);
// Binds the stand-in attributes to their fixed locations, gives a program
// without a vertex stage the fixed-function one, links, then sets the
// uniform initialisers GLSL ES has no room for.
void webgl_link_program(GLuint program);
void webgl_use_program(GLuint program);
void webgl_active_texture(GLenum unit);
// Keeps the 2-D bindings per unit for push_state.
void webgl_bind_texture(GLenum target, GLuint texture);

void webgl_matrix_mode(GLenum mode);
void webgl_load_identity();
void webgl_translate(GLfloat x, GLfloat y, GLfloat z);
void webgl_scale(GLfloat x, GLfloat y, GLfloat z);
void webgl_perspective(double fovy, double aspect, double z_near, double z_far);
void webgl_look_at(double eye_x, double eye_y, double eye_z, double centre_x, double centre_y,
                   double centre_z, double up_x, double up_y, double up_z);
