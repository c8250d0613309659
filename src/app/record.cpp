#include "app/record.h"

#include "app/load_report.h"
#include "app/show_spine.h"
#include "app/still.h"
#include "app/stop_signals.h"
#include "record/encode_pipeline.h"
#include "record/progress.h"
#include "record/record_sink.h"
#include "record/soundtrack_reader.h"
#include "render/frame_readback.h"
#include "runtime/frame_step.h"
#include "sound/music.h"
#include "sound/track_music.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>

namespace
{
constexpr int sample_rate = 44100;

using steady = std::chrono::steady_clock;

double seconds_since(steady::time_point start)
{
    return std::chrono::duration<double>(steady::now() - start).count();
}

// The frames, drawn and handed to the encoding thread; the read-back of
// frame n runs after frame n + 1 is drawn.
void draw_frames(const RecordPlan &plan, const RecordRequest &request, SteppedClock &clock, TrackMusic &music,
                 EncodePipeline &pipeline, RecordStats &stats)
{
    FrameReadbackRing ring(request.width, request.height);
    ProgressReporter progress(plan.frames, isatty(STDERR_FILENO) != 0, stderr);
    const auto started = steady::now();
    long handed = 0;
    bool writing = true;
    const auto hand_over_oldest = [&] {
        const auto t = steady::now();
        std::vector<std::uint8_t> rgb;
        ring.take(rgb);
        stats.readback += seconds_since(t);
        writing = writing && pipeline.push(handed++, std::move(rgb));
    };

    clock.set(plan.from);
    place_show_at(plan.from);
    for (long n = 0; n < plan.frames && writing; ++n) {
        if (stop_signal() != 0) {
            stats.interrupted = true;
            break;
        }
        auto t = steady::now();
        const FrameEnd end = draw_offline_frame(clock, music, plan.frame_time(n));
        wait_for_gl();
        stats.render += seconds_since(t);
        if (end == FrameEnd::ended)
            break; // past the show's end: never on screen
        t = steady::now();
        ring.start();
        stats.readback += seconds_since(t);
        if (ring.queued() == 2)
            hand_over_oldest();
        if (request.progress)
            progress.report(n + 1, seconds_since(started));
    }
    while (ring.queued() > 0 && writing)
        hand_over_oldest();
    if (request.progress)
        progress.finish();
}

int record(const RecordRequest &request, RecordStats *stats_out)
{
    // Normally the program entry's; here for callers that run an export
    // themselves.
    StopSignals signals;
    const auto started = steady::now();
    RecordStats stats;
    const double to = request.to.value_or(std::numeric_limits<double>::infinity());
    const RecordPlan plan = plan_record(request.from, to, request.fps, show_end_time);

    SinkSettings settings;
    settings.out = request.out;
    settings.kind = request.kind;
    settings.video.width = request.width;
    settings.video.height = request.height;
    settings.video.fps = request.fps;
    settings.video.crf = request.crf;
    settings.video.preset = request.preset;
    settings.video.sample_rate = sample_rate;

    SoundtrackReader soundtrack;
    const auto first_sample = static_cast<std::int64_t>(plan.from * sample_rate);
    if (!soundtrack.open(soundtrack_file, sample_rate, first_sample))
        std::fprintf(stderr, "record: the soundtrack %s cannot be read: the sound is silent\n",
                     soundtrack_file);
    else if (soundtrack.length_seconds() < plan.from + plan.seconds())
        std::fprintf(stderr, "record: the soundtrack ends at %.1f s: the sound is silent after it\n",
                     soundtrack.length_seconds());

    // The show is set up and checked before the output is touched: a file
    // that did not load, a stop asked for during the set-up, or an output
    // that cannot be created ends the export with nothing written.
    std::unique_ptr<RecordSink> sink;
    int refused = 0; // the exit status when the export never started
    bool written = true;
    const bool opened = run_offline_show(request.width, request.height, [&](OfflineShow &show) {
        if (!report_load_failures(show.ctx.load_failures, "record")) {
            refused = 1;
            return;
        }
        if (stop_signal() != 0) {
            std::fprintf(stderr, "record: stopped by signal %d before the first frame; nothing written\n",
                         stop_signal());
            refused = 128 + stop_signal();
            return;
        }
        sink = make_record_sink(settings);
        if (!sink->open()) {
            if (sink->out_of_memory())
                throw std::bad_alloc();
            std::fprintf(stderr, "record: %s\n", sink->error().c_str());
            refused = 1;
            return;
        }
        EncodePipeline pipeline(*sink, &soundtrack, request.fps, sample_rate);
        const auto frames_start = steady::now();
        draw_frames(plan, request, show.clock, show.music, pipeline, stats);
        written = pipeline.drain();
        if (pipeline.out_of_memory())
            throw std::bad_alloc();
        stats.frames_wall = seconds_since(frames_start);
        stats.frames = pipeline.frames_written();
        stats.waiting = pipeline.wait_seconds();
    });
    if (!opened) {
        std::fprintf(stderr, "record: cannot make a %dx%d GL context; nothing written\n", request.width,
                     request.height);
        return 1;
    }
    if (refused != 0)
        return refused;
    const int signal_number = stats.interrupted ? stop_signal() : 0;

    const std::string write_error = sink->error();
    const bool finished = sink->finish();
    stats.convert = sink->convert_seconds();
    stats.encode = sink->encode_seconds();
    stats.wall = seconds_since(started);
    if (stats_out != nullptr)
        *stats_out = stats;
    if (!written || !finished || !sink->commit()) {
        const std::string error = !write_error.empty() ? write_error : sink->error();
        std::fprintf(stderr, "record: %s\n", error.c_str());
        if (sink->out_of_memory())
            std::fprintf(stderr, "record: %s\n", not_enough_memory(request.width, request.height).c_str());
        std::fprintf(stderr, "record: %s\n", sink->discard().c_str());
        return 1;
    }
    if (signal_number != 0) {
        std::fprintf(stderr, "record: stopped by signal %d after %ld frames; %s is finished\n", signal_number,
                     stats.frames, request.out.c_str());
        return 128 + signal_number;
    }
    return 0;
}
} // namespace

int run_record(const RecordRequest &request, RecordStats *stats_out)
{
    // The read-back buffers, the render sets and the encoder's frames grow
    // with the size: one that the machine cannot hold ends the export with
    // the unfinished file removed (the sink's destructor).
    try {
        return record(request, stats_out);
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "record: %s; nothing written\n",
                     not_enough_memory(request.width, request.height).c_str());
        return 1;
    }
}
