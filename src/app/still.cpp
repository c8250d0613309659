#include "app/still.h"

#include "app/load_report.h"
#include "app/show_spine.h"
#include "app/stop_signals.h"
#include "record/png_file.h"
#include "render/frame_readback.h"
#include "render/gl_helpers.h"
#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/frame_step.h"
#include "runtime/generator.h"
#include "runtime/show_state.h"
#include "shell/window.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "show/scene_clock.h"
#include "sound/music.h"
#include "sound/track_music.h"

#include <cstdio>
#include <memory>
#include <new>

OfflineShow::OfflineShow(part_start &show_, RenderTargets &ctx_, SteppedClock &clock_, TrackMusic &music_,
                         int width_, int height_)
    : show(show_), ctx(ctx_), clock(clock_), music(music_), width(width_), height(height_)
{
}

void OfflineShow::prepare(double scene_time)
{
    // The jump and the tick's state step, as draw_at runs them (the clock
    // stands at the jump's show time: the step is 0), then the director's
    // own first lines.
    clock.set(clock_for_scene_time(scene_time).raw_time);
    place_show_at_scene_time(scene_time);
    music.enter_frame(show_time, 0.0);
    step_frame_state();
    frame_info.show_mode = 1;
    show.begin_draw(&frame_delta, ctx, &frame_info);
}

void OfflineShow::draw_at(double scene_time)
{
    // The clock stands at the jump's show time: the tick's step is 0.
    clock.set(clock_for_scene_time(scene_time).raw_time);
    place_show_at_scene_time(scene_time);
    draw_offline_frame(clock, music, show_time);
    wait_for_gl();
}

std::vector<std::uint8_t> OfflineShow::read_frame() const
{
    return read_back_frame_rgb(width, height);
}

std::vector<std::uint8_t> OfflineShow::read_height_map() const
{
    return read_back_table_texture_rgba(ctx, tex::height_map, top_view_size, top_view_size);
}

bool run_offline_show(int width, int height, const std::function<void(OfflineShow &)> &body)
{
    fullscreen = false;
    force_16_9 = false;
    window_width = render_width = width;
    window_height = render_height = height;
    SteppedClock clock;
    TrackMusic music;
    music.open(soundtrack_file);
    ShowRun run{clock, music, false, true};
    // A picture that cannot be read is listed for the caller, who names
    // every bad file before it stops; the show itself ends on the first.
    render_targets.load_failures.clear();
    render_targets.pictures_are_fatal = false;
    // Also when the set-up or the body throws (an allocation that failed).
    struct Closer {
        ~Closer()
        {
            close_show();
            render_targets.pictures_are_fatal = true;
        }
    } closer;
    if (!open_show("Vellamor still", false, run))
        return false;
    auto *show = static_cast<part_start *>(segment_slots[0]);
    // Frames drawn out of order have no first frames to spread it over.
    show->finish_setup(render_targets);
    OfflineShow offline(*show, render_targets, clock, music, width, height);
    offline.spectrum_from_music = music.is_open();
    body(offline);
    return true;
}

std::string still_file_name(const std::string &out, const std::string &time_text, bool several)
{
    if (!several)
        return out;
    const std::string ext = ".png";
    const bool has_ext =
        out.size() >= ext.size() && out.compare(out.size() - ext.size(), ext.size(), ext) == 0;
    const std::string stem = has_ext ? out.substr(0, out.size() - ext.size()) : out;
    return stem + "-" + time_text + ext;
}

namespace
{
int draw_stills(const std::vector<std::string> &times, int width, int height, const std::string &out)
{
    int failures = 0, status = 0;
    const bool opened = run_offline_show(width, height, [&](OfflineShow &offline) {
        // Nothing is written from a show that did not load whole.
        if (!report_load_failures(offline.ctx.load_failures, "still")) {
            status = 1;
            return;
        }
        if (!offline.spectrum_from_music)
            std::fprintf(stderr, "still: soundtrack not readable, drawing with a silent spectrum\n");
        for (std::size_t k = 0; k < times.size(); ++k) {
            if (stop_signal() != 0) {
                std::fprintf(stderr, "still: stopped by signal %d after %zu of %zu stills\n", stop_signal(),
                             k, times.size());
                status = 128 + stop_signal();
                return;
            }
            const std::string &text = times[k];
            offline.draw_at(std::stod(text));
            const std::string file = still_file_name(out, text, times.size() > 1);
            std::string error;
            if (!write_png(file, width, height, offline.read_frame(), error)) {
                std::fprintf(stderr, "still: cannot write %s: %s\n", file.c_str(), error.c_str());
                ++failures;
            }
        }
    });
    if (!opened) {
        std::fprintf(stderr, "still: cannot open a %dx%d GL window\n", width, height);
        return 1;
    }
    if (status != 0)
        return status;
    return failures == 0 ? 0 : 1;
}
} // namespace

int run_stills(const std::vector<std::string> &times, int width, int height, const std::string &out)
{
    try {
        return draw_stills(times, width, height, out);
    } catch (const std::bad_alloc &) {
        // Each still is renamed into place once whole: none is half there.
        std::fprintf(stderr, "still: %s\n", not_enough_memory(width, height).c_str());
        return 1;
    }
}
