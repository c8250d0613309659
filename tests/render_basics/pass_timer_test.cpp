// Per-pass times as author mode's overlay reads them: the passes of a frame
// come back in order with their own durations, a couple of frames later.
#include "render/pass_timer.h"
#include "support/gl_test_context.h"

#include <cstdio>

namespace
{
class PassTimerGl : public GlTest
{
  protected:
    // One frame of two passes: "clear" and "fill" (window-sized quads).
    void frame(PassTimer &timer)
    {
        timer.begin_frame();
        timer.mark("clear");
        glClear(GL_COLOR_BUFFER_BIT);
        timer.mark("fill");
        glBegin(GL_QUADS);
        for (int i = 0; i < 20; ++i) {
            glVertex2f(-1, -1);
            glVertex2f(1, -1);
            glVertex2f(1, 1);
            glVertex2f(-1, 1);
        }
        glEnd();
        timer.end_frame();
        glFinish();
    }
};
} // namespace

TEST_F(PassTimerGl, passes_come_back_in_order_a_few_frames_later)
{
    PassTimer timer;
    frame(timer);
    EXPECT_TRUE(timer.times().empty()) << "nothing is read back in the frame itself";
    for (int i = 0; i < 4; ++i)
        frame(timer);
    const auto &times = timer.times();
    ASSERT_EQ(times.size(), 2u);
    std::printf("timer queries: %s\n", timer.on_gpu() ? "GPU" : "CPU fallback");
    EXPECT_EQ(times[0].name, "clear");
    EXPECT_EQ(times[1].name, "fill");
    for (const PassTime &t : times) {
        EXPECT_GE(t.milliseconds, 0.0) << t.name;
        EXPECT_LT(t.milliseconds, 10000.0) << t.name;
    }
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PassTimerGl, marks_outside_a_frame_or_beyond_the_limit_are_dropped)
{
    PassTimer timer;
    timer.mark("stray"); // before any frame
    for (int f = 0; f < 4; ++f) {
        timer.begin_frame();
        for (int i = 0; i < PassTimer::max_marks + 5; ++i)
            timer.mark("pass");
        timer.end_frame();
        timer.mark("after"); // between frames
        glFinish();
    }
    EXPECT_EQ(timer.times().size(), static_cast<std::size_t>(PassTimer::max_marks));
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}
