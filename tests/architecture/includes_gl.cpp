// Compiled as a file of one module: builds only where GL is allowed.
#include <GL/glew.h>

int gl_probe()
{
    return glGetError() == GL_NO_ERROR ? 0 : 1;
}
