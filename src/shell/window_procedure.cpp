// Window procedure semantics: which messages change what, and which run
// the common tail.
// Depends on: runtime/show_state.h, runtime/frame_info.h, the camera
// record of render/render_targets.h, capture_text.h.
#include "shell/window_procedure.h"

#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/show_state.h"
#include "shell/capture_text.h"

namespace
{
void capture(FrameInfo &info, const CameraRecord &camera)
{
    info.captures.push_back({1, static_cast<float>(info.point[0]), static_cast<float>(info.point[1]),
                             static_cast<float>(info.point[2])});
    const float eye[3] = {camera.eye.x, camera.eye.y, camera.eye.z};
    capture_text += capture_lines(info.adjust, info.point, eye);
}

bool valid_key(int key)
{
    return key > 0 && key < static_cast<int>(key_state.size());
}
} // namespace

int wheel_steps(int delta)
{
    return delta / 120;
} // C++ division truncates toward zero

void common_tail(FrameInfo &info)
{
    if (key_state[vk::up])
        info.updown_adjust += 1.5 * frame_delta;
    if (key_state[vk::down])
        info.updown_adjust -= 1.5 * frame_delta;
    if (key_state[vk::key_a])
        info.aq_adjust -= frame_delta;
    if (key_state[vk::key_q])
        info.aq_adjust += frame_delta;
}

MessageResult window_procedure(const WindowMessage &m, FrameInfo &info, const CameraRecord &main_camera)
{
    switch (m.kind) {
    case MessageKind::activate:
        running = !m.minimised;
        return MessageResult::handled;
    case MessageKind::size:
        return MessageResult::resize;
    case MessageKind::close:
        return MessageResult::quit;
    case MessageKind::key_down:
    case MessageKind::key_up:
        if (valid_key(m.key))
            key_state[m.key] = m.kind == MessageKind::key_down ? 1 : 0;
        if (m.kind == MessageKind::key_down && m.key == vk::escape)
            escape_pressed = true;
        return MessageResult::handled;
    case MessageKind::mouse_wheel:
        wheel_total += wheel_steps(m.wheel_delta);
        return MessageResult::handled;
    case MessageKind::left_down:
        left_button = 1;
        break;
    case MessageKind::left_up:
        left_button = 0;
        break;
    case MessageKind::right_down:
        right_button = 1;
        break;
    case MessageKind::right_up:
        right_button = 0;
        break;
    case MessageKind::middle_down:
        capture(info, main_camera);
        break;
    case MessageKind::other:
        break;
    }
    common_tail(info);
    return MessageResult::tail;
}
