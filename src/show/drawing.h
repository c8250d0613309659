// The drawing interface the show draws through, and the one place that
// picks its backend: the show's passes, set-up, loading screen, warm-up and
// top view all get their Renderer from here.
// The browser build draws through WebGL2 (render/webgl), the desktop
// through GL 2. VELLAMOR_WEBGL_ON_DESKTOP picks WebGL2 in a desktop test
// that runs that backend on Mesa's GLES 3.
// Depends on: render/gl_renderer.h or render/webgl/webgl_renderer.h (no GL
// headers). GL thread only.
#pragma once

#if defined(__EMSCRIPTEN__) || defined(VELLAMOR_WEBGL_ON_DESKTOP)
#include "render/webgl/webgl_renderer.h"
using ShowRenderer = WebGlRenderer;
#else
#include "render/gl_renderer.h"
using ShowRenderer = GlRenderer;
#endif

class RenderTargets;
class ShaderProgram;

// The backend for the render context; `shaders` may be null where no
// program is used.
inline ShowRenderer renderer_for(RenderTargets &ctx, const ShaderProgram *shaders)
{
    return ShowRenderer(ctx, shaders);
}
