#include "shell/window_procedure.h"

#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/show_state.h"

#include <gtest/gtest.h>

namespace
{
struct WindowProcedure : ::testing::Test {
    FrameInfo info;
    CameraRecord camera;

    void SetUp() override
    {
        key_state.fill(0);
        wheel_total = 0;
        left_button = right_button = 0;
        running = true;
        capture_text.clear();
        frame_delta = 0.1;
    }
    MessageResult send(MessageKind kind, int key = 0)
    {
        WindowMessage m;
        m.kind = kind;
        m.key = key;
        return window_procedure(m, info, camera);
    }
    MessageResult wheel(int delta)
    {
        WindowMessage m;
        m.kind = MessageKind::mouse_wheel;
        m.wheel_delta = delta;
        return window_procedure(m, info, camera);
    }
};
} // namespace

TEST_F(WindowProcedure, wheel_steps_truncate_toward_zero)
{
    wheel(-120);
    EXPECT_EQ(wheel_total, -1);
    wheel(60);
    EXPECT_EQ(wheel_total, -1);
    wheel(-60);
    EXPECT_EQ(wheel_total, -1);
    wheel(359);
    EXPECT_EQ(wheel_total, 1);
    EXPECT_EQ(wheel_steps(-239), -1);
}

TEST_F(WindowProcedure, held_up_moves_the_adjust_once_per_tail_message_only)
{
    EXPECT_EQ(send(MessageKind::key_down, vk::up), MessageResult::handled);
    EXPECT_EQ(info.updown_adjust, 0.0); // key messages return early
    EXPECT_EQ(send(MessageKind::other), MessageResult::tail);
    EXPECT_EQ(send(MessageKind::other), MessageResult::tail);
    EXPECT_NEAR(info.updown_adjust, 0.3, 1e-12);
    wheel(120); // wheel messages do not reach the tail either
    send(MessageKind::activate);
    EXPECT_NEAR(info.updown_adjust, 0.3, 1e-12);
    send(MessageKind::key_up, vk::up);
    send(MessageKind::other);
    EXPECT_NEAR(info.updown_adjust, 0.3, 1e-12);
}

TEST_F(WindowProcedure, tail_applies_every_held_key_in_turn)
{
    key_state[vk::up] = key_state[vk::down] = key_state[vk::key_a] = 1;
    send(MessageKind::left_down); // button messages run the tail
    EXPECT_NEAR(info.updown_adjust, 0.0, 1e-12);
    EXPECT_NEAR(info.aq_adjust, -0.1, 1e-12);
    EXPECT_EQ(left_button, 1);
    key_state[vk::key_a] = 0;
    key_state[vk::key_q] = 1;
    send(MessageKind::right_down);
    EXPECT_NEAR(info.aq_adjust, 0.0, 1e-12);
    EXPECT_EQ(right_button, 1);
    send(MessageKind::left_up);
    send(MessageKind::right_up);
    EXPECT_EQ(left_button, 0);
    EXPECT_EQ(right_button, 0);
}

TEST_F(WindowProcedure, minimise_stops_ticks_close_quits_size_resizes)
{
    WindowMessage m;
    m.kind = MessageKind::activate;
    m.minimised = true;
    window_procedure(m, info, camera);
    EXPECT_FALSE(running);
    m.minimised = false;
    window_procedure(m, info, camera);
    EXPECT_TRUE(running);
    EXPECT_EQ(send(MessageKind::close), MessageResult::quit);
    EXPECT_EQ(send(MessageKind::size), MessageResult::resize);
}

TEST_F(WindowProcedure, keys_outside_the_table_are_ignored)
{
    send(MessageKind::key_down, 0);
    send(MessageKind::key_down, 256);
    send(MessageKind::key_down, -5);
    for (unsigned char k : key_state)
        EXPECT_EQ(k, 0);
    send(MessageKind::key_down, vk::escape);
    EXPECT_EQ(key_state[vk::escape], 1);
}

TEST_F(WindowProcedure, escape_tap_is_remembered_after_its_key_up)
{
    escape_pressed = false;
    send(MessageKind::key_down, vk::escape);
    send(MessageKind::key_up, vk::escape);
    EXPECT_EQ(key_state[vk::escape], 0);
    EXPECT_TRUE(escape_pressed); // the loop's next idle turn still sees it
    escape_pressed = false;
    send(MessageKind::key_up, vk::escape);
    EXPECT_FALSE(escape_pressed);
}

TEST_F(WindowProcedure, two_captures_append_in_order)
{
    info.point[0] = 1.5;
    info.point[1] = 2;
    info.point[2] = -3;
    camera.eye = {1, 14.0f, 0.0f, 18.0f};
    send(MessageKind::middle_down);
    info.point[0] = 0.05;
    send(MessageKind::middle_down);
    ASSERT_EQ(info.captures.size(), 2u);
    EXPECT_EQ(info.captures[0].kind, 1);
    EXPECT_EQ(info.captures[0].x, 1.5f);
    EXPECT_EQ(info.captures[1].x, 0.05f);
    EXPECT_EQ(capture_text, "Cam :0.,0.,0.  \nPnt :1.5,2.,-3.  \n \nMCr :14.,0.,18.  \n \n"
                            "Cam :0.,0.,0.  \nPnt :5.e-002,2.,-3.  \n \nMCr :14.,0.,18.  \n \n");
}
