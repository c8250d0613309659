// The drawing interface the show draws through, and the one place that
// picks its backend: the show's passes, set-up, loading screen, warm-up and
// top view all get their Renderer from here.
// Depends on: render/gl_renderer.h (no GL headers). GL thread only.
#pragma once

#include "render/gl_renderer.h"

class RenderTargets;
class ShaderProgram;

// The backend for the render context; `shaders` may be null where no
// program is used.
inline GlRenderer renderer_for(RenderTargets &ctx, const ShaderProgram *shaders)
{
    return GlRenderer(ctx, shaders);
}
