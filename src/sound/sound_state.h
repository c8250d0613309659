// The sound module's shared state, private to its files (sound.cpp, the
// main-thread interface; sound_feed.cpp, the decoder thread; sound_mix.cpp,
// the audio callback).
//
// Data flow: decoder thread -> SoundRing (blocks of decoded frames) -> SDL
// audio callback (volume, mono history, playing position) -> SoundHandoff
// (latest report) -> main thread (position, spectrum). A seek is a new
// "epoch" published in one atomic word; the decoder seeks and decodes for
// it, the callback drops blocks of older epochs. Each member says which
// thread may touch it.
#pragma once

#include "sound/sound.h"
#include "sound/sound_decoder.h"
#include "sound/sound_handoff.h"
#include "sound/sound_ring.h"
#include "sound/spectrum.h"

#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

// Steady-clock time in nanoseconds, comparable across the module's threads.
inline std::int64_t sound_now_ns()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// A seek request in one word: epoch in the high half, target frame in the
// low half, so both threads always see a matching pair.
inline std::uint64_t pack_request(std::uint32_t epoch, std::uint32_t frame)
{
    return (static_cast<std::uint64_t>(epoch) << 32) | frame;
}
inline std::uint32_t request_epoch(std::uint64_t r)
{
    return static_cast<std::uint32_t>(r >> 32);
}
inline std::uint32_t request_frame(std::uint64_t r)
{
    return static_cast<std::uint32_t>(r);
}

// What the callback tells the main thread after each buffer.
struct PlaybackReport {
    bool valid = false;
    std::uint32_t epoch = 0;
    std::int64_t playing_start = 0;            // track frame at the start of the buffer now heard
    std::int64_t playing_frames = 0;           // track frames in it (fewer: silence follows)
    std::int64_t time_ns = 0;                  // when that buffer started to be heard
    bool ended = false;                        // that buffer lies past the end of the track
    std::array<float, spectrum_window> mono{}; // last output samples, oldest first
};

struct Sound::State {
    // Main thread only (the other threads start after these are set).
    int rate = 0;
    bool audio_subsystem = false;
    SDL_AudioDeviceID device = 0;
    bool loaded = false;
    std::string error;

    // Shared between threads.
    SoundRing ring;
    SoundHandoff<PlaybackReport> reports;
    std::atomic<std::uint64_t> request{0}; // pack_request(epoch, frame)
    std::atomic<std::uint32_t> wake{0};    // bumped whenever the decoder may have work
    std::atomic<bool> stop{false};
    std::atomic<bool> loop{false};
    std::atomic<int> volume{255};
    // Track length in frames: the decoder's first figure at load, exact once
    // the decoder thread has scanned the file (right after it first filled
    // the ring, so that the scan never delays the start).
    std::atomic<std::int64_t> length{0};
    // Set once the decoder thread has scanned the file (or failed to).
    std::atomic<bool> length_final{false};
    // Where the decoder ran out of frames: pack_request(epoch, frame) of
    // the epoch it decoded for (end of file or an undecodable rest). The
    // callback compares it with its own cursor, so a decoder that is merely
    // late never reads as the end.
    std::atomic<std::uint64_t> end_mark{0};

    // The decoder thread's while it runs; the main thread opens and closes
    // the decoder only while it is stopped.
    SoundDecoder decoder;
    std::thread decoder_thread;

    // Audio callback only.
    struct Mixer {
        std::uint32_t epoch = 0;
        std::int64_t cursor = 0; // track frame of the next frame to play
        std::size_t block_offset = 0;
        float gain = -1.0F; // none yet: the first buffer starts at the set volume
        std::array<float, spectrum_window> history{};
        std::size_t history_at = 0;
        std::uint32_t last_epoch = 0;
        std::int64_t last_start = 0;
        std::int64_t last_frames = 0;
        bool last_ended = false;
    } mixer;

    // Main thread only.
    std::uint32_t epoch = 0;
    std::uint32_t target = 0;
    bool playing = false;
    bool played = false;    // since the last load
    bool paused = false;    // set_paused: the device is quiet and
    std::uint32_t held = 0; // position() answers this frame
    bool spectrum_active = false;
    bool spectrum_fresh = false;
    SpectrumAnalyser analyser;
    std::array<float, spectrum_bins> spectrum{};

    // Wakes the decoder thread. Safe in the audio callback: notify_one is a
    // futex wake on Linux, it takes no lock and never waits.
    void poke()
    {
        wake.fetch_add(1, std::memory_order_release);
        wake.notify_one();
    }

    void request_seek(std::uint32_t frame)
    {
        ++epoch;
        target = frame;
        request.store(pack_request(epoch, frame), std::memory_order_release);
        poke();
    }

    void decode_loop(); // sound_feed.cpp
    void stop_decoder();
    void mix(float *out, std::size_t frames); // sound_mix.cpp
};

// The SDL audio callback; userdata is the Sound::State.
void sound_audio_callback(void *user, Uint8 *stream, int bytes);
