// frame_bench: how long one frame of the show takes, whole and per pass, at
// several scene times (one per kind of scene). Each pass is bracketed by
// glFinish, so the numbers are wall-clock times of the GL work itself;
// the whole-frame column is the director's draw as the show runs it.
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
#include "render/pass_timer.h"
#include "render/render_targets.h"
#include "runtime/show_state.h"
#include "show/bloom_passes.h"
#include "show/director_passes.h"
#include "show/fade_cues.h"
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

double ms_since(clock_type::time_point &start)
{
    glFinish();
    const auto now = clock_type::now();
    const double ms = std::chrono::duration<double, std::milli>(now - start).count();
    start = now;
    return ms;
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

double gpu_ms(const std::vector<PassTime> &times, std::size_t k)
{
    return k < times.size() ? times[k].milliseconds : 0.0;
}

struct Timings {
    std::vector<double> top, scene, glow, combine, highlights, halo, blur, screen, whole, cpu;
};

void print_row(const char *scene, double time, const Timings &t, bool with_cpu)
{
    std::printf("%-16s %7.1f | %8.1f %8.1f | %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f | %8.1f", scene, time,
                median(t.top), median(t.scene), median(t.glow), median(t.combine), median(t.highlights),
                median(t.halo), median(t.blur), median(t.screen), median(t.whole));
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
        std::printf("frame_bench %dx%d, %d frames per time, %s\n", width, height, frames,
                    reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
        std::printf("%-16s %7s | %8s %8s | %8s %8s %8s %8s %8s %8s | %8s %9s\n", "scene", "T", "top view",
                    "scene", "glow", "combine", "highl.", "halo", "blur", "screen", "frame", "frame cpu");
        std::vector<Timings> gpu_rows;
        for (const Row &row : rows) {
            Timings wall, device;
            offline.draw_at(row.time); // warm-up
            for (int f = 0; f < frames; ++f) {
                offline.prepare(row.time);
                part_start &show = offline.show;
                auto t = clock_type::now();
                glFinish();
                t = clock_type::now();
                passes.begin_frame();
                passes.mark("top view");
                glPushAttrib(GL_ALL_ATTRIB_BITS);
                upload_spectrum(offline.ctx, show.frame);
                place_cameras_and_top_view(show, offline.ctx);
                passes.mark("scene");
                wall.top.push_back(ms_since(t));
                scene_pass(show, offline.ctx, render_width, render_height);
                passes.mark("glow bloom");
                wall.scene.push_back(ms_since(t));
                glow_bloom_pass(show, offline.ctx, render_width, render_height);
                passes.mark("combine");
                wall.glow.push_back(ms_since(t));
                combine_pass(show, offline.ctx, render_width, render_height);
                passes.mark("highlight bloom");
                wall.combine.push_back(ms_since(t));
                highlight_bloom_pass(show, offline.ctx, render_width, render_height);
                passes.mark("soft halo");
                wall.highlights.push_back(ms_since(t));
                soft_halo_pass(show, offline.ctx, render_width, render_height);
                passes.mark("blur");
                wall.halo.push_back(ms_since(t));
                blur_pass(show, offline.ctx, window_width, window_height,
                          centred_viewport(window_width, window_height, render_width, render_height));
                reset_after_passes();
                fade_overlay(fade_alpha(show.scene_time, show.fade_in_cues, show.fade_out_cues));
                glPopAttrib();
                passes.end_frame();
                wall.blur.push_back(ms_since(t));
                const std::size_t n = wall.blur.size() - 1;
                wall.screen.push_back(wall.glow[n] + wall.combine[n] + wall.highlights[n] + wall.halo[n] +
                                      wall.blur[n]);
                const auto &split = times_of_last_frame(passes);
                device.top.push_back(gpu_ms(split, 0));
                device.scene.push_back(gpu_ms(split, 1));
                device.glow.push_back(gpu_ms(split, 2));
                device.combine.push_back(gpu_ms(split, 3));
                device.highlights.push_back(gpu_ms(split, 4));
                device.halo.push_back(gpu_ms(split, 5));
                device.blur.push_back(gpu_ms(split, 6));
                double screen = 0.0;
                for (std::size_t k = 2; k <= 6; ++k)
                    screen += gpu_ms(split, k);
                device.screen.push_back(screen);

                offline.prepare(row.time);
                const double no_step = 0.0;
                auto w = clock_type::now();
                const std::clock_t c0 = std::clock();
                whole_draw.begin_frame();
                whole_draw.mark("frame");
                show.draw(&no_step, offline.ctx, offline.ctx.frame_info);
                whole_draw.end_frame();
                wall.whole.push_back(ms_since(w));
                wall.cpu.push_back(1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC);
                device.whole.push_back(gpu_ms(times_of_last_frame(whole_draw), 0));
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
        std::printf("%-16s %7s | %8s %8s | %8s %8s %8s %8s %8s %8s | %8s\n", "scene", "T", "top view",
                    "scene", "glow", "combine", "highl.", "halo", "blur", "screen", "frame");
        for (std::size_t k = 0; k < rows.size(); ++k)
            print_row(rows[k].scene, rows[k].time, gpu_rows[k], false);
    });
    return ok ? 0 : 1;
}
