// The window procedure's semantics as a plain function over platform-free
// messages: the key-down table, mouse buttons and wheel, the minimised
// state, the per-message adjusts (the common tail) and the capture.
//
// The SDL layer (sdl_events.cpp) translates SDL events into these messages.
// Writes process-wide state (runtime/show_state.h) and the FrameInfo it is
// given. No SDL, no GL: tested alone.
#pragma once

struct FrameInfo;
struct CameraRecord;

enum class MessageKind {
    activate, // focus or minimise state changed; `minimised` says which
    size,     // client area resized to width x height
    close,    // the viewer closed the window
    key_down, // `key` holds the Windows virtual-key code
    key_up,
    mouse_wheel, // `wheel_delta` in 1/120 notch units, signed
    left_down,
    left_up,
    right_down,
    right_up,
    middle_down,
    other, // mouse moves and everything else
};

struct WindowMessage {
    MessageKind kind = MessageKind::other;
    int key = 0;
    bool minimised = false;
    int width = 0, height = 0;
    int wheel_delta = 0;
};

enum class MessageResult {
    handled, // answered by the procedure itself (the adjusts do not move)
    tail,    // ran the common tail, then the platform's default handling
    resize,  // the caller resizes the viewport to width x height
    quit,    // ends the message loop
};

MessageResult window_procedure(const WindowMessage &m, FrameInfo &info, const CameraRecord &main_camera);

// Adjusts of the common tail: Up/Down by 1.5 x frame_delta, A/Q by
// frame_delta, for each of those keys held down.
void common_tail(FrameInfo &info);

// Wheel steps from a delta in 1/120 units: integer division toward zero.
int wheel_steps(int delta);
