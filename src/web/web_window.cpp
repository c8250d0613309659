// The show's window in the browser: the page's canvas with a WebGL2
// context (no alpha, 24-bit depth, no antialiasing, the drawing kept after
// presentation so a test can read it back). The browser presents each
// frame itself and delivers events to the page, so swaps and the pump do
// nothing here.
#include "shell/window.h"

#include "render/webgl/webgl_state.h"

#include <emscripten/html5.h>

#include <cstdio>

namespace
{
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
const char *const canvas = "#canvas";
} // namespace

bool window_open(const char *, int width, int height, int, bool, StartUpHook start_up)
{
    emscripten_set_canvas_element_size(canvas, width, height);
    if (context == 0) {
        EmscriptenWebGLContextAttributes a;
        emscripten_webgl_init_context_attributes(&a);
        a.majorVersion = 2;
        a.minorVersion = 0;
        a.alpha = EM_FALSE;
        a.depth = EM_TRUE;
        a.stencil = EM_FALSE;
        a.antialias = EM_FALSE;
        a.preserveDrawingBuffer = EM_TRUE;
        context = emscripten_webgl_create_context(canvas, &a);
        if (context <= 0) {
            std::fprintf(stderr, "window: this browser offers no WebGL2 context (%d)\n",
                         static_cast<int>(context));
            context = 0;
            return false;
        }
    }
    emscripten_webgl_make_context_current(context);
    window_resize(width, height);
    return gl_state_init(start_up);
}

void prefer_offscreen_video() {}

void window_resize(int width, int height)
{
    if (height == 0)
        height = 1;
    WebGlState &s = WebGlState::current();
    s.viewport(0, 0, width, height);
    s.matrix_mode(webgl_projection);
    s.top() = perspective_matrix(45.0, static_cast<double>(width) / height, 0.1, 100.0);
    s.matrix_mode(webgl_modelview);
    s.top() = identity_matrix();
}

bool gl_state_init(StartUpHook start_up)
{
    WebGlState &s = WebGlState::current();
    s.attributes.clear_colour = {0.0f, 0.0f, 0.0f, 0.5f};
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepthf(1.0f);
    s.enable(GL_DEPTH_TEST, true);
    glDepthFunc(GL_LEQUAL);
    if (start_up != nullptr)
        start_up();
    return true;
}

void window_close() {}

void set_desktop_restore(DesktopRestore) {}

void swap_buffers() {}

void *window_handle()
{
    return nullptr;
}

void drawable_size(int &width, int &height)
{
    if (emscripten_get_canvas_element_size(canvas, &width, &height) != EMSCRIPTEN_RESULT_SUCCESS)
        width = height = 0;
}

PumpResult pump_one_message(FrameInfo &, const RenderTargets &, int, std::vector<int> *)
{
    return PumpResult::idle;
}

int copy_to_clipboard(const std::string &)
{
    return 0;
}
