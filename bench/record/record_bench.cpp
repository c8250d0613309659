// record_bench: the export's throughput against drawing alone.
//
//   record_bench [seconds of show] [fps] [from]     (default 3 30 60)
//
// For 640x360 and 1280x720 it runs, alternating, the frames drawn alone
// (the show's frame loop on a stepped clock, each frame finished) and the
// whole export to an MP4 (CRF 18, preset medium): twice each, keeping the
// faster run. Prints frames per second, the ratio export / drawing, and the
// export's time split in seconds: render (drawing until finished),
// read-back (out of GL), convert and encode (on the encoding thread) and
// wait (the drawing thread blocked on the encoding thread). Wall times
// stretch on a busy machine; the ratio of runs made side by side holds up.
#include "app/record.h"
#include "app/show_spine.h"
#include "app/still.h"
#include "record/record_options.h"
#include "render/frame_readback.h"
#include "runtime/frame_step.h"
#include "sound/track_music.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace
{
using steady = std::chrono::steady_clock;

double draw_only(int width, int height, const RecordPlan &plan)
{
    double seconds = 0.0;
    run_offline_show(width, height, [&](OfflineShow &show) {
        show.clock.set(plan.from);
        place_show_at(plan.from);
        const auto start = steady::now();
        for (long n = 0; n < plan.frames; ++n) {
            draw_offline_frame(show.clock, show.music, plan.frame_time(n));
            wait_for_gl();
        }
        seconds = std::chrono::duration<double>(steady::now() - start).count();
    });
    return seconds;
}
} // namespace

int main(int argc, char **argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    const int fps = argc > 2 ? std::atoi(argv[2]) : 30;
    const double from = argc > 3 ? std::atof(argv[3]) : 60.0;
    const RecordPlan plan = plan_record(from, from + seconds, fps, show_end_time);
    if (plan.frames <= 0) {
        std::fprintf(stderr, "usage: record_bench [seconds] [fps] [from]\n");
        return 2;
    }
    fs::current_path(VELLAMOR_SOURCE_DATA_DIR);
    const fs::path out = fs::temp_directory_path() / ("record-bench-" + std::to_string(::getpid()) + ".mp4");

    std::printf("%ld frames (%.1f s of show from %.1f s at %d fps), CRF 18, preset medium\n", plan.frames,
                plan.seconds(), from, fps);
    std::printf("%-9s %9s %9s %7s | %8s %9s %8s %8s %8s\n", "size", "draw fps", "exp. fps", "ratio", "render",
                "read-back", "convert", "encode", "wait");
    for (const auto &[w, h] : {std::pair{640, 360}, std::pair{1280, 720}}) {
        double best_draw = 1e30;
        RecordStats best{};
        best.wall = 1e30;
        for (int round = 0; round < 2; ++round) {
            best_draw = std::min(best_draw, draw_only(w, h, plan));
            RecordRequest request;
            request.out = out.string();
            request.width = w;
            request.height = h;
            request.fps = fps;
            request.from = from;
            request.to = from + seconds;
            request.progress = false;
            RecordStats stats;
            if (run_record(request, &stats) != 0)
                return 1;
            // The export's wall time without its start-up: the frames' own.
            if (round == 0 || stats.frames_wall < best.frames_wall)
                best = stats;
        }
        const double export_time = best.frames_wall;
        std::printf("%4dx%-4d %9.2f %9.2f %7.2f | %8.2f %9.2f %8.2f %8.2f %8.2f\n", w, h,
                    plan.frames / best_draw, plan.frames / export_time, export_time / best_draw, best.render,
                    best.readback, best.convert, best.encode, best.waiting);
    }
    fs::remove(out);
    return 0;
}
