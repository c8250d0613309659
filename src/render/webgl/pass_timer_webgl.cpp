// PassTimer on WebGL2: no timestamp queries there, so the CPU time between
// the marks stands in (on_gpu() stays false).
#include "render/pass_timer.h"

PassTimer::PassTimer() = default;

PassTimer::~PassTimer() = default;

void PassTimer::begin_frame()
{
    Frame &f = frames_[current_];
    f.names.clear();
    f.cpu.clear();
    f.cpu.push_back(std::chrono::steady_clock::now());
    in_frame_ = true;
}

void PassTimer::mark(const char *pass)
{
    if (!in_frame_)
        return;
    Frame &f = frames_[current_];
    if (static_cast<int>(f.names.size()) >= max_marks)
        return;
    f.names.emplace_back(pass);
    f.cpu.push_back(std::chrono::steady_clock::now());
}

void PassTimer::end_frame()
{
    if (!in_frame_)
        return;
    in_frame_ = false;
    Frame &f = frames_[current_];
    f.cpu.push_back(std::chrono::steady_clock::now());
    times_.clear();
    // cpu[0] is the frame's start, cpu[k + 1] the mark of pass k, the last the end.
    for (std::size_t k = 0; k < f.names.size(); ++k)
        times_.push_back(
            {f.names[k], std::chrono::duration<double, std::milli>(f.cpu[k + 2] - f.cpu[k + 1]).count()});
}

void PassTimer::stamp(Frame &) {}

void PassTimer::collect(Frame &) {}
