// Stands in for <GL/gl.h> in the modules that must not draw: only src/render
// and src/shell speak OpenGL. Drawing goes through render/renderer.h.
#error "GL headers are for src/render and src/shell only: draw through render/renderer.h"
