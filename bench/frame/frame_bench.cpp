// frame_bench: how long one frame of the show takes, whole and per pass, at
// several scene times (one per kind of scene). The passes are the
// director's own, timed through its pass hook: at each pass boundary the
// hook waits for the GL work (glFinish), so the numbers are wall-clock
// times of the GL work itself; the whole-frame column is the director's
// draw as the show runs it, without the hook.
//
//   frame_bench [WxH] [frames per time] [data folder]
//                              (default 1280x720, 5, the source tree's data/)
//
// Prints a table in milliseconds (median of the frames): the screen passes
// are the glow's and the highlights' blooms, the combine, the soft blur's
// halo and the blur, "screen" their sum per frame (its median); "frame cpu"
// is the
// processor time of all threads (llvmpipe renders on several), which stays
// meaningful on a busy machine where wall times stretch. Where the driver
// has GL_ARB_timer_query, a second table gives the GPU's own times of the
// same passes (timestamps between them, and the elapsed time of the whole
// draw): on a real GPU the glFinish times are mostly submission and
// waiting, these are the work. Needs a GL display; under Xvfb with
// LIBGL_ALWAYS_SOFTWARE=1 it measures llvmpipe.
#include "app/still.h"
#include "render/frame_readback.h"
#include "render/pass_hook.h"
#include "render/pass_timer.h"
#include "render/render_targets.h"
#include "show/part_start.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

using clock_type = std::chrono::steady_clock;

double ms_between(clock_type::time_point start, clock_type::time_point end)
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

struct Row {
    const char *scene;
    double time;
};

// The columns: the director's passes by the names it marks them with (the
// spectrum upload is timed with the top view, the fade with the blur), then
// the screen passes' sum and the whole frame.
struct Column {
    const char *title;
    std::vector<const char *> passes;
};
const std::vector<Column> columns = {{"top view", {"spectrum", "top view"}},
                                     {"scene", {"scene"}},
                                     {"glow", {"glow bloom"}},
                                     {"combine", {"combine"}},
                                     {"highl.", {"highlight bloom"}},
                                     {"halo", {"soft halo"}},
                                     {"blur", {"blur", "fade"}}};
constexpr std::size_t first_screen_column = 2; // glow .. blur

// The pass hook of the bench: the wall time of each pass, waited for, and
// the same boundaries handed to a PassTimer for the GPU's own times.
class BenchHook final : public PassHook
{
  public:
    explicit BenchHook(PassTimer &gpu) : gpu_(gpu) {}

    void frame_begins() override
    {
        wait_for_gl();
        passes_.clear();
        gpu_.begin_frame();
    }
    void pass_begins(const char *name) override
    {
        close_pass();
        passes_.push_back({name, 0.0});
        start_ = clock_type::now();
        gpu_.mark(name);
    }
    void frame_ends() override
    {
        close_pass();
        gpu_.end_frame();
        wait_for_gl(); // the last timestamp, so that its result is in
    }
    const std::vector<PassTime> &passes() const { return passes_; }

  private:
    void close_pass()
    {
        if (passes_.empty())
            return;
        wait_for_gl();
        passes_.back().milliseconds = ms_between(start_, clock_type::now());
    }
    PassTimer &gpu_;
    std::vector<PassTime> passes_;
    clock_type::time_point start_;
};

// PassTimer reads a frame's GPU times back three frames later, so as not to
// stall a running show; here every frame is waited for anyway, and three
// empty frames bring its own times in at once.
const std::vector<PassTime> &times_of_last_frame(PassTimer &timer)
{
    for (int k = 0; k < 3; ++k) {
        timer.begin_frame();
        timer.end_frame();
    }
    return timer.times();
}

struct Timings {
    std::vector<std::vector<double>> column = std::vector<std::vector<double>>(columns.size());
    std::vector<double> screen, whole, cpu;

    void add_frame(const std::vector<PassTime> &passes)
    {
        double screen_ms = 0.0;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            double ms = 0.0;
            for (const PassTime &p : passes)
                for (const char *name : columns[c].passes)
                    if (p.name == name)
                        ms += p.milliseconds;
            column[c].push_back(ms);
            if (c >= first_screen_column)
                screen_ms += ms;
        }
        screen.push_back(screen_ms);
    }
};

void print_header(bool with_cpu)
{
    std::printf("%-16s %7s |", "scene", "T");
    for (std::size_t c = 0; c < columns.size(); ++c)
        std::printf(" %8s%s", columns[c].title, c + 1 == first_screen_column ? " |" : "");
    std::printf(" %8s | %8s", "screen", "frame");
    if (with_cpu)
        std::printf(" %9s", "frame cpu");
    std::printf("\n");
}

void print_row(const char *scene, double time, const Timings &t, bool with_cpu)
{
    std::printf("%-16s %7.1f |", scene, time);
    for (std::size_t c = 0; c < columns.size(); ++c)
        std::printf(" %8.1f%s", median(t.column[c]), c + 1 == first_screen_column ? " |" : "");
    std::printf(" %8.1f | %8.1f", median(t.screen), median(t.whole));
    if (with_cpu)
        std::printf(" %9.1f", median(t.cpu));
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    int width = 1280, height = 720, frames = 5;
    if (argc > 1 && std::sscanf(argv[1], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "usage: frame_bench [WxH] [frames] [data folder]\n");
        return 1;
    }
    if (argc > 2)
        frames = std::max(1, std::atoi(argv[2]));
    // A copy of the data folder keeps the shaders fixed while the tree's own
    // change under a long comparison.
    std::error_code error;
    std::filesystem::current_path(argc > 3 ? argv[3] : VELLAMOR_SOURCE_DATA_DIR, error);
    if (error) {
        std::fprintf(stderr, "frame_bench: cannot enter the data folder: %s\n", error.message().c_str());
        return 1;
    }

    const std::vector<Row> rows = {{"opening title", 12.0}, {"crane, city", 60.0}, {"orbit, rising", 121.0},
                                   {"insect", 178.0},       {"leaves", 190.0},     {"logo", 220.0}};
    const bool ok = run_offline_show(width, height, [&](OfflineShow &offline) {
        PassTimer passes, whole_draw;
        BenchHook hook(passes);
        std::printf("frame_bench %dx%d, %d frames per time, %s\n", width, height, frames,
                    reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
        print_header(true);
        std::vector<Timings> gpu_rows;
        part_start &show = offline.show;
        const double no_step = 0.0;
        for (const Row &row : rows) {
            Timings wall, device;
            offline.draw_at(row.time); // warm-up
            for (int f = 0; f < frames; ++f) {
                // The frame's passes one by one, through the hook.
                offline.prepare(row.time);
                show.pass_hook = &hook;
                show.draw(&no_step, offline.ctx, offline.ctx.frame_info);
                show.pass_hook = nullptr;
                wall.add_frame(hook.passes());
                device.add_frame(times_of_last_frame(passes));

                // The whole draw, as the show runs it.
                offline.prepare(row.time);
                const auto w = clock_type::now();
                const std::clock_t c0 = std::clock();
                whole_draw.begin_frame();
                whole_draw.mark("frame");
                show.draw(&no_step, offline.ctx, offline.ctx.frame_info);
                whole_draw.end_frame();
                wait_for_gl();
                wall.whole.push_back(ms_between(w, clock_type::now()));
                wall.cpu.push_back(1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC);
                const auto &whole = times_of_last_frame(whole_draw);
                device.whole.push_back(whole.empty() ? 0.0 : whole[0].milliseconds);
            }
            print_row(row.scene, row.time, wall, true);
            gpu_rows.push_back(device);
            std::fflush(stdout);
        }
        if (!passes.on_gpu()) {
            std::printf("GPU times: GL_ARB_timer_query is not available\n");
            return;
        }
        std::printf("GPU times (GL_ARB_timer_query)\n");
        print_header(false);
        for (std::size_t k = 0; k < rows.size(); ++k)
            print_row(rows[k].scene, rows[k].time, gpu_rows[k], false);
    });
    return ok ? 0 : 1;
}
