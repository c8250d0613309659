// The sound module: the only code of the show that talks to the audio stack
// (SDL2 audio, libmpg123, kissfft). One soundtrack, played on channel 1.
//
//   init(44100)            open the audio device (paused); false: no device
//   load(path)             open the MP3 and start decoding it in the
//                          background; false: missing or unreadable file
//   set_loop(false)        play once (the default)
//   set_spectrum_active    spectrum analysis on or off (off: all zeros)
//   play(1)                start channel 1 from the beginning
//   set_volume(1, 0..255)  linear gain v / 255, ramped over one buffer
//   position(1)            track frame the listener hears now (unsigned
//                          32-bit); frequency(1) the frames per second (the
//                          mix rate, whatever the file's own rate)
//   finished(1)            true once the track has played to its end: the
//                          decoder has no frame left (end of the file, or
//                          a rest it cannot decode), the listener hears
//                          silence and the position stands at that end;
//                          a seek back into the track clears it
//   set_position(1, f)     sample-exact, immediate seek; false (and nothing
//                          changes) when f lies at or past the end
//   set_paused(1, on)      holds playback where it is heard now (position
//                          stays, the device goes quiet) and resumes there;
//                          a seek while paused moves the held position
//   spectrum()             512 magnitudes of the most recent 1024 output
//                          samples (see spectrum.h for the scale); they
//                          follow the volume: what is heard is analysed
//   close()                stop and release everything (also on destruction)
//
// Threads: every call from one thread (the main thread). Playback runs on
// SDL's audio thread and a decoder thread; they meet through lock-free
// structures only, so the audio callback never blocks. The device buffer is
// 1024 frames; the position is that of the buffer now playing, assuming the
// device holds one buffer ahead of the callback (accurate to one buffer).
// Only channel 1 exists; other channel numbers do nothing and read as 0.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class Sound
{
  public:
    static constexpr int channel = 1;
    static constexpr int device_frames = 1024;

    Sound();
    ~Sound();
    Sound(const Sound &) = delete;
    Sound &operator=(const Sound &) = delete;

    bool init(int mix_rate);
    bool load(const std::string &path);
    void set_loop(bool loop);
    void set_spectrum_active(bool active);
    bool play(int channel_number);
    void set_volume(int channel_number, int volume);
    std::uint32_t position(int channel_number);
    bool finished(int channel_number);
    int frequency(int channel_number) const;
    bool set_position(int channel_number, std::uint32_t frame);
    void set_paused(int channel_number, bool paused);
    const std::array<float, 512> &spectrum();
    void close();

    // Length of the loaded track in frames at the mix rate (0 before load).
    // Exact from the file's LAME/Xing tag at once; for a file without one,
    // an estimate from its size until the background scan has run (within a
    // fraction of a second of load()).
    std::int64_t length() const;
    // True once length() is final: the background scan has run (or failed).
    // A tag can claim more than a cut-short file holds; the scan counts.
    bool length_final() const;
    // Why the last init() or load() failed.
    const std::string &error() const;

    struct State;

  private:
    std::unique_ptr<State> state_;
};

// A play position as the show reads it: an unsigned 32-bit frame count
// (never negative, even above 2^31) over the frequency, in seconds.
double position_seconds(std::uint32_t frames, int frequency);
