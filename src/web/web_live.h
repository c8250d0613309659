// The live show in the page: the desktop's frame tick on the browser's
// audio clock, with the soundtrack played by WebAudio (DeviceMusic), so
// the pull toward the music until 240 s, the left button's re-seek, the
// fade-out after Escape, the end at 251 s and a hidden tab's pause are the
// desktop's. The clock is Module.vellamorAudioClock() (the page's
// AudioContext.currentTime), read at every use as the desktop reads its
// device. Exported from the wasm beside web_api.h's functions.
//
// Order:
//  1. vellamor_live_begin(width, height): the canvas and the WebGL2
//     context at width x height (16..4096 each) and the loading screen's
//     first draw; the page lets the browser present it (a frame) before
//     the long steps. 1 on success, 0 without a WebGL2 context.
//  2. the soundtrack as web_api.h's steps 1-2 hand it over (optional).
//  3. vellamor_live_setup_step(): the next step of the show's set-up,
//     drawing the loading screen at its progress; 1 while more follow
//     (call it again from the next animation frame, so that the browser
//     presents the screen), 0 when the show is set up and its music
//     started, -1 when a file of the show failed (each named on the
//     console). The music starts
//     through Module.vellamorPlayFrom(track_seconds), which the page must
//     define before the last step: it (re)starts the track at that offset
//     now. A seek calls it again.
//  4. vellamor_live_tick() on every animation frame: 1 while
//     the show runs, 0 once it has ended (the end at 251 s, or the frame
//     after the fade-out that Escape started).
// Inputs between ticks: vellamor_left_button(down) (held, it re-seeks
// the music to the picture every frame, as on the desktop; the show reads
// no pointer position), vellamor_escape(), vellamor_set_paused(hidden)
// (the page suspends the context with it: the show holds).
// vellamor_show_time(): the show time of the last tick.
// Depends on: the show's spine (app/show_spine.h), sound/device_music.h.
// Main thread only; one live show per page.
#pragma once

extern "C" {
int vellamor_live_begin(int width, int height);
int vellamor_live_setup_step();
int vellamor_live_tick();
void vellamor_left_button(int down);
void vellamor_escape();
void vellamor_set_paused(int paused);
double vellamor_show_time();
}
