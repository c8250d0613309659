// The show's C interface to the page (exported from the wasm; call through
// Module.ccall or the underscored names, e.g. Module._vellamor_setup).
//
// Order: hand over the soundtrack (optional: without it the spectrum is
// silent), set up once, then draw stills or run ticks.
//  1. vellamor_sound_start_skip(mp3, bytes, decoded_frames): how many
//     frames to drop from the start of decodeAudioData's output so that
//     frame 0 is the desktop decoder's first (from the file's LAME tag; 0
//     when the browser trimmed the delay itself). `mp3` points at the file's
//     bytes in the wasm heap (vellamor_alloc).
//  2. float *vellamor_sound_buffer(frames): room for `frames` frames of
//     interleaved stereo 32-bit floats at 44100 Hz (a mono file: the same
//     value twice); the page writes HEAPF32 there, then calls
//     vellamor_sound_ready(). Null when `frames` is not positive or too big.
//  3. vellamor_setup(width, height): the canvas at width x height (16..4096
//     each), the WebGL2 context, the show's whole set-up from the packaged
//     data folder. 1 on success, 0 when no WebGL2 context could be made or
//     a file of the show did not load (each named on the console).
//  4. vellamor_draw_still(scene_time): the frame the show draws at scene
//     time T (as `vellamor --still T` does), into the canvas; 0 for a time
//     that is not a number.
//  5. vellamor_tick(show_time): one tick of the running show at show time
//     t (the music time the page's audio clock reads): the clock steps from
//     the previous tick's time, the spectrum is that of the soundtrack at t.
//     1 while the show runs, 0 once it has ended.
// Depends on: the show's spine (app/show_spine.h). Main thread only.
#pragma once

#include <cstdint>

extern "C" {
void *vellamor_alloc(int bytes);
void vellamor_free(void *p);
int vellamor_sound_start_skip(const std::uint8_t *mp3, int bytes, int decoded_frames);
float *vellamor_sound_buffer(int frames);
void vellamor_sound_ready();
int vellamor_setup(int width, int height);
int vellamor_draw_still(double scene_time);
int vellamor_tick(double show_time);
}
