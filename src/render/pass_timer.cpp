#include "render/pass_timer.h"

#include <GL/glew.h>

PassTimer::PassTimer()
{
    on_gpu_ = (GLEW_VERSION_3_3 || GLEW_ARB_timer_query) && glQueryCounter != nullptr &&
              glGetQueryObjectui64v != nullptr;
    if (on_gpu_) {
        queries_.resize(frames_in_flight * (max_marks + 1));
        glGenQueries(static_cast<GLsizei>(queries_.size()), queries_.data());
    }
}

PassTimer::~PassTimer()
{
    // The context may already be gone when the show exits; only a live one
    // gets its queries back.
    if (on_gpu_ && !queries_.empty() && glDeleteQueries != nullptr)
        glDeleteQueries(static_cast<GLsizei>(queries_.size()), queries_.data());
}

void PassTimer::stamp(Frame &f)
{
    if (on_gpu_)
        glQueryCounter(queries_[current_ * (max_marks + 1) + f.stamps], GL_TIMESTAMP);
    else
        f.cpu.push_back(std::chrono::steady_clock::now());
    ++f.stamps;
}

void PassTimer::collect(Frame &f)
{
    if (!f.pending || f.stamps < 2)
        return;
    const int base = static_cast<int>(&f - frames_) * (max_marks + 1);
    std::vector<double> at(static_cast<std::size_t>(f.stamps));
    if (on_gpu_) {
        GLint ready = 0;
        glGetQueryObjectiv(queries_[base + f.stamps - 1], GL_QUERY_RESULT_AVAILABLE, &ready);
        if (ready == 0)
            return; // keep the older times; this frame is skipped
        for (int i = 0; i < f.stamps; ++i) {
            GLuint64 ns = 0;
            glGetQueryObjectui64v(queries_[base + i], GL_QUERY_RESULT, &ns);
            at[static_cast<std::size_t>(i)] = static_cast<double>(ns) * 1e-6;
        }
    } else {
        for (int i = 0; i < f.stamps; ++i)
            at[static_cast<std::size_t>(i)] =
                std::chrono::duration<double, std::milli>(f.cpu[static_cast<std::size_t>(i)] - f.cpu[0])
                    .count();
    }
    times_.clear();
    for (std::size_t i = 0; i + 1 < at.size() && i < f.names.size(); ++i)
        times_.push_back({f.names[i], at[i + 1] - at[i]});
    f.pending = false;
}

void PassTimer::begin_frame()
{
    current_ = (current_ + 1) % frames_in_flight;
    Frame &f = frames_[current_];
    // The oldest frame in the ring: its results are the ones most likely in.
    collect(f);
    f = Frame{};
    in_frame_ = true;
}

void PassTimer::mark(const char *pass)
{
    Frame &f = frames_[current_];
    if (!in_frame_ || f.stamps >= max_marks)
        return;
    f.names.emplace_back(pass);
    stamp(f);
}

void PassTimer::end_frame()
{
    Frame &f = frames_[current_];
    if (!in_frame_)
        return;
    in_frame_ = false;
    if (f.stamps == 0)
        return;
    stamp(f);
    f.pending = true;
}
