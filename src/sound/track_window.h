// The spectrum of the soundtrack at a music time, as the running show sees
// it: the sound module analyses the buffer after the one the listener hears
// (analysed_window_start), mixed to mono after the volume. One arithmetic for
// every caller that has decoded frames instead of a sound device: the
// offline spectrum of stills and exports (TrackSpectrum, decoding the
// window from the file) and the browser build (the whole track decoded by
// the browser, in memory).
// Depends on: sound/spectrum.h. No audio device, no decoder.
#pragma once

#include "sound/spectrum.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The rate of every decoded track the spectrum reads.
inline constexpr int track_rate = 44100;

// The first track frame of the window analysed while `music_seconds` is
// heard; none before 0, at or past `track_frames`, or for a time that is not
// a number.
std::optional<std::int64_t> analysed_window_at(double music_seconds, std::int64_t track_frames);

// The spectrum of one window: `stereo` holds up to spectrum_window frames,
// interleaved left and right, from the window's first frame (frames past its
// end are silence, as the module plays there). `volume` 0..255.
std::array<float, spectrum_bins> window_spectrum(SpectrumAnalyser &analyser, std::span<const float> stereo,
                                                 int volume);

// The spectrum at `music_seconds` of a whole decoded track: `stereo` holds
// every frame, interleaved left and right, at track_rate. Zeros before 0 or
// past the end.
std::array<float, spectrum_bins> track_spectrum_at(SpectrumAnalyser &analyser, std::span<const float> stereo,
                                                   double music_seconds, int volume = 255);
