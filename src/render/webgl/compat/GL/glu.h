// The browser build's stand-in for GLU: perspective and look-at on the
// CPU matrix stacks (webgl_state.h).
#pragma once

#include "render/webgl/webgl_hooks.h"

#define gluPerspective webgl_perspective
#define gluLookAt webgl_look_at
