// Start-up, frame tick, fade-out, exit and the message loop.
#include "app/show_spine.h"

#include "app/loop_hook.h"

#include "render/gl_helpers.h"
#include "runtime/console.h"
#include "runtime/frame_step.h"
#include "runtime/generator.h"
#include "runtime/show_state.h"
#include "shell/window.h"
#include "show/director_passes.h"
#include "show/drawing.h"
#include "show/part_loader.h"
#include "show/part_start.h"
#include "show/resources.h"
#include "show/scene_clock.h"
#include "sound/track_music.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

RenderTargets render_targets;
FrameInfo frame_info;
std::array<parts *, 4> segment_slots{};
parts *loading_segment = nullptr;
Timeline timeline;

namespace
{
// Start-up's own record, for the first loading-screen draw.
std::unique_ptr<FrameInfo> start_up_frame_info;
double previous_clock = 0.0;
// The run of the show now open, and its main show (also segment slot 0).
ShowRun *active_run = nullptr;
part_start *main_show = nullptr;
// Between the first and the last step of the main show's set-up.
bool main_show_setting_up = false;

// Texture loads report progress; without a loading screen nothing shows it.
void no_progress(double) {}

// window_open takes a plain function.
void start_up_active_run()
{
    show_start_up(*active_run);
}

// The jump behind place_show_at and place_show_at_scene_time.
void place_show_at_clock(SceneClock clock)
{
    ShowRun &run = *active_run;
    show_time = clock.raw_time;
    frame_info.show_time = show_time;
    if (main_show != nullptr) {
        main_show->bring_height_map_to(clock.scene_time, render_targets);
        main_show->scene_time = clock.scene_time;
        main_show->raw_time = clock.raw_time;
    }
    run.music.seek(show_time);
    previous_clock = run.clock.read();
}
} // namespace

void progress_callback(double step)
{
    const double delta = step * 0.567;
    loading_segment->draw(&delta, render_targets, &frame_info);
    swap_buffers();
}

bool open_show(const char *title, bool full_screen, ShowRun &run)
{
    if (run.offscreen)
        prefer_offscreen_video();
    active_run = &run;
    if (window_open(title, window_width, window_height, 32, full_screen, start_up_active_run))
        return true;
    active_run = nullptr;
    return false;
}

void show_start_up(ShowRun &run)
{
    show_start_up_loading(run);
    show_start_up_main(run);
}

void show_start_up_loading(ShowRun &run)
{
    active_run = &run;
    render_targets.progress_callback = run.loading_screen ? progress_callback : no_progress;
    load_gl_entry_points();

    antialias = false;
    for (const RenderSetSize &s : show_render_sets(render_width, render_height))
        render_targets.create_render_set(s.set, s.width, s.height, 0);

    capture_text.clear();
    set_linear_filtering();
    render_targets.multisample = antialias;

    start_up_frame_info = std::make_unique<FrameInfo>();
    start_up_frame_info->show_mode = 1;
    render_targets.frame_info = start_up_frame_info.get();

    if (run.loading_screen) {
        loading_segment = new part_loader;
        loading_segment->setup(render_targets);
        const double no_time = 0.0;
        loading_segment->draw(&no_time, render_targets, start_up_frame_info.get());
        swap_buffers();
    }
}

void show_start_up_main(ShowRun &run)
{
    while (show_start_up_step(run)) {
    }
}

bool show_start_up_step(ShowRun &run)
{
    active_run = &run;
    render_targets.progress_callback = run.loading_screen ? progress_callback : no_progress;
    if (!main_show_setting_up) {
        segment_slots.fill(nullptr);
        main_show = new part_start;
        segment_slots[0] = main_show;
        main_show_setting_up = true;
    }
    if (main_show->setup_step(render_targets))
        return true;
    main_show_setting_up = false;
    segment_slots[0]->active = 1;

    run.music.start();

    run.clock.reset();
    previous_clock = run.clock.read();
    timeline.fill();

    show_time = 0.0;
    frame_info = FrameInfo{};
    frame_info.show_mode = 1;
    frame_info.point[0] = frame_info.point[1] = frame_info.point[2] = 0.0;
    frame_info.flags_a.fill(0);
    frame_info.flags_b.fill(0);
    frame_info.flags_a[0] = 1;
    frame_info.updown_adjust = 0.0;
    return false;
}

void step_frame_state()
{
    ShowRun &run = *active_run;
    // 1. Clock step: a second read re-bases the previous reading.
    const double now = run.clock.read();
    const double d = clock_step(now, previous_clock);
    previous_clock = run.clock.read();
    frame_delta = d;

    // 2. Reseed the shared generator from the show clock; pull toward the music.
    random_seed(frame_seed(show_time));
    for (int i = 0; i < 50; ++i)
        random_next();
    // A track that has played out stands still at its end: pulling toward
    // it would hold the picture there, so the clock then runs on alone.
    music_time = run.music.position();
    if (!run.music.has_ended())
        frame_delta = music_pull(frame_delta, show_time, music_time);
    if (run.paused)
        frame_delta = 0.0;

    // 3-5. Inputs, Timeline id, clock advance.
    frame_info.wheel_steps = wheel_total;
    frame_info.seek_request = left_button;
    frame_info.right_button = right_button;
    frame_info.adjust[0] = frame_info.adjust[1] = frame_info.adjust[2] = 0.0;
    frame_info.interval_id = timeline.lookup(show_time);
    show_time += frame_delta;
    frame_info.show_time = show_time;
    for (std::size_t k = 0; k < key_state.size(); ++k)
        frame_info.keys[k] = key_state[k];

    // 6. Music requests. The clock is not moved by a seek: step 2 pulls it
    // toward the new position on the following frames.
    if (frame_info.seek_request != 0) {
        const bool sought = run.music.seek(frame_info.parameters[FrameInfo::seek_target]);
        std::printf("%d\n", sought ? 1 : 0);
        std::fflush(stdout);
    }
    run.music.copy_spectrum(frame_info.spectrum);
}

FrameEnd show_frame()
{
    step_frame_state();

    // 7. Draw the segments.
    frame_info.show_mode = 1;
    frame_info.show_time = show_time;
    for (parts *segment : segment_slots)
        if (segment != nullptr)
            segment->draw(&frame_delta, render_targets, &frame_info);

    // 8-10. The ends.
    if (show_has_ended(show_time) || frame_info.flags_b[3] != 0)
        return FrameEnd::ended;
    if (quit_requested)
        return run_fade_out_step() ? FrameEnd::ended : FrameEnd::running;
    return FrameEnd::running;
}

void place_show_at(double t)
{
    place_show_at_clock(clock_for_raw_time(std::clamp(std::isnan(t) ? 0.0 : t, 0.0, 251.0)));
}

void place_show_at_scene_time(double scene_time)
{
    place_show_at_clock(clock_for_scene_time(scene_time));
}

FrameEnd draw_offline_frame(SteppedClock &clock, TrackMusic &music, double t)
{
    const double step = std::max(0.0, t - clock.now());
    clock.set(t);
    music.enter_frame(t, step);
    return show_frame();
}

bool run_fade_out_step()
{
    const FadeOut f = fade_out_step(show_time, fade_start, fade_rate);
    frame_info.parameters[FrameInfo::fade_level] = f.fade_level;
    active_run->music.set_volume(f.volume);
    auto r = renderer_for(render_targets, nullptr);
    escape_overlay(r, window_width, window_height, f.a);
    if (!f.done)
        return false;
    copy_to_clipboard(capture_text);
    // The clipboard empties when the program exits unless a clipboard
    // manager takes it: standard output keeps the captures too.
    write_to_original_output(capture_text);
    return true;
}

void latch_escape()
{
    if ((key_state[vk::escape] != 0 || escape_pressed) && !quit_requested) {
        quit_requested = true;
        fade_start = show_time;
    }
    escape_pressed = false;
}

void close_show()
{
    if (active_run != nullptr)
        active_run->music.close();
    window_close();
    if (segment_slots[0] != nullptr) {
        delete segment_slots[0];
        segment_slots[0] = nullptr;
    }
    main_show = nullptr;
    active_run = nullptr;
}

void end_show()
{
    close_show();
    std::exit(0);
}

part_start *open_main_show()
{
    return main_show;
}

void message_loop(LoopHook *dev)
{
    std::vector<int> key_downs;
    for (;;) {
        // While minimised no frame runs: wait a little for events instead
        // of spinning (the music plays on by itself).
        const PumpResult r = pump_one_message(frame_info, render_targets, running ? 0 : 10,
                                              dev != nullptr ? &key_downs : nullptr);
        if (r == PumpResult::quit)
            return;
        if (r == PumpResult::handled)
            continue;
        if (running) {
            if (dev != nullptr) {
                dev->before_frame(key_downs);
                key_downs.clear();
            }
            if (show_frame() == FrameEnd::ended)
                end_show();
            if (dev != nullptr)
                dev->after_frame();
        }
        // The latch catches a tap whose key-up came in the same batch of
        // events as its key-down (any frame slower than the tap).
        latch_escape();
        swap_buffers();
        key_state[vk::f1] = 0;
        // The set-up's remainder, a step after each frame from the first on
        // (after the swap: a step may draw into the back buffer).
        if (running && main_show != nullptr)
            main_show->continue_setup(render_targets);
    }
}
