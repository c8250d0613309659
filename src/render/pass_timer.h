// Per-pass frame times for author mode's overlay. With GL timer queries
// (GL 3.3 or ARB_timer_query) each pass boundary is a GPU timestamp, read
// back two frames later so the pipeline never stalls on it; without them
// the CPU time between the boundaries stands in (what the driver took to
// accept the commands, not what the GPU spent), and on_gpu() says which.
//
// Use: begin_frame(), mark("scene") before each pass, end_frame() after
// the last; times() holds the latest frame whose results have arrived.
// Depends on: GL through GLEW (after glewInit). GL thread only.
#pragma once

#include "render/pass_hook.h"

#include <chrono>
#include <string>
#include <vector>

struct PassTime {
    std::string name;
    double milliseconds = 0.0;
};

class PassTimer final : public PassHook
{
  public:
    PassTimer();
    ~PassTimer();
    PassTimer(const PassTimer &) = delete;
    PassTimer &operator=(const PassTimer &) = delete;

    void begin_frame();
    void mark(const char *pass);
    void end_frame();

    void frame_begins() override { begin_frame(); }
    void pass_begins(const char *name) override { mark(name); }
    void frame_ends() override { end_frame(); }

    const std::vector<PassTime> &times() const { return times_; }
    bool on_gpu() const { return on_gpu_; }

    // Passes a frame may mark; marks beyond it are ignored.
    static constexpr int max_marks = 16;

  private:
    struct Frame {
        std::vector<std::string> names;
        int stamps = 0; // queries issued: names.size() + 1 once ended
        bool pending = false;
        std::vector<std::chrono::steady_clock::time_point> cpu;
    };
    void stamp(Frame &f);
    void collect(Frame &f);

    static constexpr int frames_in_flight = 3;
    bool on_gpu_ = false;
    std::vector<unsigned> queries_; // frames_in_flight x (max_marks + 1)
    Frame frames_[frames_in_flight];
    int current_ = 0;
    bool in_frame_ = false;
    std::vector<PassTime> times_;
};
