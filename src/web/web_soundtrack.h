// The soundtrack as the page hands it over: the browser decodes the MP3
// (decodeAudioData at 44.1 kHz), drops browser_start_skip samples so that
// sample 0 is the desktop decoder's first, and copies the frames in as
// interleaved stereo floats (a mono file on both channels). The web build's
// SoundDecoder reads from here, so the spectrum of a frame comes from the
// same arithmetic as on the desktop (sound/track_spectrum.h).
// Depends on: nothing. One thread.
#pragma once

#include <cstddef>
#include <vector>

// Interleaved stereo frames at 44100 Hz; empty until handed over.
std::vector<float> &web_soundtrack();
