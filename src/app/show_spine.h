// The spine of the show: the start-up sequence that runs once the GL
// context exists, the per-frame tick, the fade-out after Escape, the
// progress callback that animates the loading screen, the message loop and
// the common exit.
//
// Depends on: runtime/ (clock, frame arithmetic, Timeline, generator,
// process-wide state), sound/ (the music), render/ (RenderTargets, GL
// helpers), show/ (the two segments and the Escape overlay), shell/ (buffer
// swaps, the message pump, clipboard).
// Main thread only.
#pragma once

#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/timeline.h"
#include "show/parts.h"

#include <array>

// The render context, one per process.
extern RenderTargets render_targets;
// The static record handed to every draw of the frame loop.
extern FrameInfo frame_info;
// Drawn in index order each frame; start-up puts the main show in slot 0.
extern std::array<parts *, 4> segment_slots;
// The loading screen, outside the slots; never deleted.
extern parts *loading_segment;
extern Timeline timeline;

// Run by gl_state_init once the context is current and the viewport set.
void show_start_up();

// One tick; the show goes on (it ends only through end_show).
bool show_frame();

// Draws the loading screen once more (time step value x 0.567) and presents.
void progress_callback(double step);

// After Escape: volume and overlay from the fade level; when complete,
// the captures go to the clipboard and the show ends.
void run_fade_out_step();

// Closes the sound and the window, deletes the main show, exits with 0.
[[noreturn]] void end_show();

// The message loop: events when waiting, else a tick and a buffer swap.
// Returns when the window is closed.
void message_loop();
