// The spine of the show: the one start-up sequence (live show, stills,
// exports and loop tests all run it), the per-frame tick, jumps to a show
// time, the fade-out after Escape, the progress callback that animates the
// loading screen, the message loop and the common exit.
//
// The tick reads its time and music from the run's sources: the live show
// passes the steady clock and the sound device; offline callers pass a
// SteppedClock and a TrackMusic and step them with draw_offline_frame.
//
// Depends on: runtime/ (clock, frame arithmetic, Timeline, generator,
// process-wide state), sound/ (the music), render/ (RenderTargets, GL
// helpers), show/ (the two segments and the Escape overlay), shell/ (buffer
// swaps, the message pump, clipboard).
// Main thread only; one show per process at a time.
#pragma once

#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/show_sources.h"
#include "runtime/timeline.h"
#include "show/parts.h"

#include <array>

class LoopHook;
class TrackMusic;
class part_start;

// The render context, one per process.
extern RenderTargets render_targets;
// The static record handed to every draw of the frame loop.
extern FrameInfo frame_info;
// Drawn in index order each frame; start-up puts the main show in slot 0.
extern std::array<parts *, 4> segment_slots;
// The loading screen, outside the slots; never deleted.
extern parts *loading_segment;
extern Timeline timeline;

// What a show runs with. Must outlive the show (until close_show/end_show).
struct ShowRun {
    ShowClock &clock;
    MusicSource &music;
    bool loading_screen = true; // false: no loading screen is drawn
    bool offscreen = false;     // no display needed (stills, exports)
    // Author mode's pause: ticks go on drawing with a step of 0, so the
    // show clock stands while the clock source runs (set the music's pause
    // with it).
    bool paused = false;
};

// Opens the window (offscreen where the run asks and no display is set) at
// window_width x window_height and runs the start-up with `run`. False
// after a failure message.
bool open_show(const char *title, bool full_screen, ShowRun &run);

// The start-up sequence, once the context is current and the viewport set:
// render sets, the loading screen (if the run wants it), the main show's
// set-up, the music's start, the clock's reset, the Timeline and the show
// state at show time 0.
void show_start_up(ShowRun &run);
// Its two halves, for a caller that presents between them (the browser
// shows the loading screen only once control returns to the page):
// everything up to the loading screen's first draw, then the rest. The
// second half may run with another run than the first (whose clock and
// music then serve only the loading screen).
void show_start_up_loading(ShowRun &run);
void show_start_up_main(ShowRun &run);
// show_start_up_main in steps (the main show's set-up steps, then the
// rest with the last): true while more follow.
bool show_start_up_step(ShowRun &run);

enum class FrameEnd { running, ended };

// The frame's state step, the same for every run (the live loop, stills,
// exports, the frame bench): the clock step with the pull toward the music
// (and the pause), the shared generator's seed, the inputs, the Timeline
// id, the advance of show_time, the keys, a seek the left button asks for
// and the spectrum. Afterwards frame_delta and frame_info hold what the
// frame's draws read.
void step_frame_state();

// One tick of the show with the run's clock and music: the state step, the
// segments' draws, the ends. Never exits the
// process: `ended` once the show passed its end at 251 s, a segment asked
// for the end, or the fade-out after Escape completed (the captures are
// then on the clipboard and standard output).
FrameEnd show_frame();

// Jumps to show time t (clamped to 0..251): the show clock, the main
// show's scene clock as a running show has it at t, the height map of the
// top view, and the music; the next tick's clock step counts from the
// clock's reading now (set a SteppedClock to the show time first).
void place_show_at(double show_time);
// The same jump to the show time at which the scene clock reads exactly
// `scene_time` (clock_for_scene_time).
void place_show_at_scene_time(double scene_time);

// One offline tick at show time t with a stepped clock and the track's
// music: the clock moves from where it stands to t (a step of 0 when it
// stands at t, as after place_show_at(t)), the music enters the frame, and
// the tick runs. Frames drawn at t0, t0 + 1/fps, ... are the frames of a
// show on a machine with no frame-time limit.
FrameEnd draw_offline_frame(SteppedClock &clock, TrackMusic &music, double show_time);

// After Escape: volume and overlay from the fade level. True once the fade
// is complete; the captures are then on the clipboard and standard output.
bool run_fade_out_step();

// After a tick: Escape seen since the last one (held, or a tap whose
// key-up came with it) asks for the quit and starts the fade-out there.
void latch_escape();

// Draws the loading screen once more (time step value x 0.567) and presents.
void progress_callback(double step);

// Closes the music and the window and deletes the main show; the process
// goes on.
void close_show();

// close_show, then exit with 0.
[[noreturn]] void end_show();

// The main show of the open run (segment slot 0); null when none is open.
part_start *open_main_show();

// The message loop: events when waiting, else a tick and a buffer swap.
// Returns when the window is closed; ends the show when a tick says so.
// With a hook (author mode), every key-down goes to it and it runs around
// each tick.
void message_loop(LoopHook *hook = nullptr);
