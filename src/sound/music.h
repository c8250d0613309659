// The show's music: the soundtrack on channel 1 of the sound module, its
// play position, seeking, volume and spectrum, as the frame loop uses them.
//
// Set-up failures end the process with a message box (caption "ZVX  "):
// no audio device -> exit 1; soundtrack missing or unreadable -> exit 0.
// Main thread only; the sound module plays on its own thread.
#pragma once

#include "runtime/frame_step.h"
#include "runtime/show_sources.h"

#include <array>

inline constexpr const char *soundtrack_file = "music//Orvel ft Mirel - Vellamor.mp3";

// Initialise at 44100 Hz, load the soundtrack, play once, spectrum on,
// play on channel 1 at volume 255. Playback starts once the track's length
// is known (the file scanned, at most about a second after loading).
void music_start();

// Length of the loaded soundtrack in seconds (0 when none is loaded).
double music_length();

// Writes one line to standard error when the soundtrack is shorter than
// the show, naming the file and both lengths: the picture outlasts the sound.
void music_warn_if_shorter_than(double show_seconds);

// True once the soundtrack has played to its end (it stands at its last
// position, silent); a seek back into the track makes it false again.
bool music_has_ended();

// Play position of channel 1 in seconds: samples (unsigned 32-bit) / frequency.
double music_read_time();

// Seeks channel 1 to the integer part of seconds * 44100; false when the
// position lies past the end (nothing changes then).
bool music_seek(double seconds);

// The 512 spectrum values of the most recent output.
void music_copy_spectrum(std::array<float, 512> &out);

// Channel 1 volume, 0..255.
void music_set_volume(int volume);

// Holds channel 1 where it is heard, or plays on from there.
void music_set_paused(bool paused);

// Stops playback and closes the audio device.
void music_close();

// The functions above as the frame loop's music source: the live show.
class LiveMusic final : public MusicSource
{
  public:
    void start() override
    {
        music_start();
        music_warn_if_shorter_than(show_end_time);
    }
    double position() override { return music_read_time(); }
    bool has_ended() override { return music_has_ended(); }
    bool seek(double seconds) override { return music_seek(seconds); }
    void copy_spectrum(std::array<float, 512> &out) override { music_copy_spectrum(out); }
    void set_volume(int volume) override { music_set_volume(volume); }
    void set_paused(bool paused) override { music_set_paused(paused); }
    void close() override { music_close(); }
};
