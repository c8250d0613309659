// The sound module (see sound.h): device, decoder thread, mixer callback,
// position and spectrum.
//
// Data flow: decoder thread -> SoundRing (blocks of decoded frames) -> SDL
// audio callback (volume, mono history, playing position) -> SoundHandoff
// (latest report) -> main thread (position, spectrum). A seek is a new
// "epoch" published in one atomic word; the decoder seeks and decodes for
// it, the callback drops blocks of older epochs.
#include "runtime/sound.h"

#include "runtime/sound_decoder.h"
#include "runtime/sound_handoff.h"
#include "runtime/sound_ring.h"
#include "runtime/spectrum.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace {
using steady = std::chrono::steady_clock;

std::int64_t now_ns()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(steady::now().time_since_epoch()).count();
}

// A seek request in one word: epoch in the high half, target frame in the
// low half, so both threads always see a matching pair.
std::uint64_t pack_request(std::uint32_t epoch, std::uint32_t frame)
{
    return (static_cast<std::uint64_t>(epoch) << 32) | frame;
}
std::uint32_t request_epoch(std::uint64_t r) { return static_cast<std::uint32_t>(r >> 32); }
std::uint32_t request_frame(std::uint64_t r) { return static_cast<std::uint32_t>(r); }

// What the callback tells the main thread after each buffer.
struct PlaybackReport {
    bool valid = false;
    std::uint32_t epoch = 0;
    std::int64_t playing_start = 0;   // track frame at the start of the buffer now heard
    std::int64_t playing_frames = 0;  // track frames in it (fewer: silence follows)
    std::int64_t time_ns = 0;         // when that buffer started to be heard
    std::array<float, spectrum_window> mono{};  // last output samples, oldest first
};
}

struct Sound::State {
    // Set by the main thread while no other thread runs, then read-only.
    int rate = 0;
    bool audio_subsystem = false;
    SDL_AudioDeviceID device = 0;
    bool loaded = false;
    std::string error;

    // Shared between threads.
    SoundRing ring;
    SoundHandoff<PlaybackReport> reports;
    std::atomic<std::uint64_t> request{0};  // pack_request(epoch, frame)
    std::atomic<std::uint32_t> wake{0};     // bumped whenever the decoder may have work
    std::atomic<bool> stop{false};
    std::atomic<bool> loop{false};
    std::atomic<int> volume{255};
    // Track length in frames: the decoder's first figure at load, exact once
    // the decoder thread has scanned the file (right after it first filled
    // the ring, so that the scan never delays the start).
    std::atomic<std::int64_t> length{0};

    // Decoder thread only (after load()).
    SoundDecoder decoder;
    std::thread decoder_thread;

    // Audio callback only.
    struct Mixer {
        std::uint32_t epoch = 0;
        std::int64_t cursor = 0;  // track frame of the next frame to play
        std::size_t block_offset = 0;
        float gain = -1.0F;  // none yet: the first buffer starts at the set volume
        std::array<float, spectrum_window> history{};
        std::size_t history_at = 0;
        std::uint32_t last_epoch = 0;
        std::int64_t last_start = 0;
        std::int64_t last_frames = 0;
    } mixer;

    // Main thread only.
    std::uint32_t epoch = 0;
    std::uint32_t target = 0;
    bool playing = false;
    bool played = false;  // since the last load
    bool spectrum_active = false;
    bool spectrum_fresh = false;
    SpectrumAnalyser analyser;
    std::array<float, spectrum_bins> spectrum{};

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

    void decode_loop();
    void mix(float* out, std::size_t frames);
    void stop_decoder();
};

// ---------------------------------------------------------------------------
// Decoder thread: keeps the ring full for the current epoch.

void Sound::State::decode_loop()
{
    std::uint32_t epoch_now = request_epoch(request.load(std::memory_order_acquire));
    std::int64_t next = request_frame(request.load(std::memory_order_acquire));
    bool at_end = false;
    bool scanned = false;
    std::size_t written_this_epoch = 0;
    for (;;) {
        const std::uint32_t seen = wake.load(std::memory_order_acquire);
        if (stop.load(std::memory_order_acquire))
            return;
        const std::uint64_t r = request.load(std::memory_order_acquire);
        if (request_epoch(r) != epoch_now) {
            epoch_now = request_epoch(r);
            next = request_frame(r);
            at_end = !decoder.seek(next);
            written_this_epoch = 0;
        }
        // Blocks of the current epoch still waiting in the ring: at most the
        // ones written since the seek, at most all that are queued.
        const std::size_t ahead = std::min(written_this_epoch, ring.queued());
        SoundBlock* block = at_end || ahead >= SoundRing::fill_target ? nullptr : ring.free_block();
        if (block == nullptr) {
            if (!scanned) {
                scanned = true;
                if (decoder.scan())
                    length.store(decoder.length(), std::memory_order_release);
                continue;
            }
            wake.wait(seen, std::memory_order_acquire);
            continue;
        }
        const std::size_t n = decoder.read(block->data.data(), sound_block_frames);
        if (n == 0) {
            if (loop.load(std::memory_order_relaxed) && decoder.seek(0)) {
                next = 0;
                continue;
            }
            at_end = true;
            continue;
        }
        block->epoch = epoch_now;
        block->position = next;
        block->frames = static_cast<std::uint32_t>(n);
        ring.publish();
        ++written_this_epoch;
        next += static_cast<std::int64_t>(n);
    }
}

void Sound::State::stop_decoder()
{
    if (decoder_thread.joinable()) {
        stop.store(true, std::memory_order_release);
        poke();
        decoder_thread.join();
    }
    stop.store(false, std::memory_order_relaxed);
}

// ---------------------------------------------------------------------------
// Audio callback: never waits, never allocates.

void Sound::State::mix(float* out, std::size_t frames)
{
    const std::uint64_t r = request.load(std::memory_order_acquire);
    Mixer& m = mixer;
    if (request_epoch(r) != m.epoch) {
        m.epoch = request_epoch(r);
        m.cursor = request_frame(r);
        m.block_offset = 0;
    }
    std::int64_t start = m.cursor;
    std::size_t done = 0;
    bool popped = false;
    while (done < frames) {
        const SoundBlock* b = ring.front();
        if (b == nullptr)
            break;
        if (b->epoch != m.epoch) {  // decoded before a seek: obsolete
            ring.pop();
            m.block_offset = 0;
            popped = true;
            continue;
        }
        if (done == 0)
            start = b->position + static_cast<std::int64_t>(m.block_offset);
        const std::size_t n = std::min<std::size_t>(b->frames - m.block_offset, frames - done);
        std::memcpy(out + 2 * done, b->data.data() + 2 * m.block_offset, n * 2 * sizeof(float));
        done += n;
        m.block_offset += n;
        if (m.block_offset == b->frames) {
            ring.pop();
            m.block_offset = 0;
            popped = true;
        }
    }
    m.cursor = start + static_cast<std::int64_t>(done);
    std::fill(out + 2 * done, out + 2 * frames, 0.0F);
    if (popped)
        poke();

    // Volume, ramped from the previous buffer's gain so a change never clicks.
    const float target_gain = static_cast<float>(volume.load(std::memory_order_relaxed)) / 255.0F;
    if (m.gain < 0.0F)
        m.gain = target_gain;
    const float step = (target_gain - m.gain) / static_cast<float>(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const float g = m.gain + step * static_cast<float>(i + 1);
        out[2 * i] *= g;
        out[2 * i + 1] *= g;
        m.history[m.history_at] = 0.5F * (out[2 * i] + out[2 * i + 1]);
        m.history_at = (m.history_at + 1) % spectrum_window;
    }
    m.gain = target_gain;

    // The device holds one buffer ahead of this one: what starts to be heard
    // now is the previous buffer, unless a seek came in between.
    PlaybackReport& report = reports.back();
    report.valid = true;
    report.epoch = m.epoch;
    if (m.last_epoch == m.epoch) {
        report.playing_start = m.last_start;
        report.playing_frames = m.last_frames;
    } else {
        report.playing_start = request_frame(r);
        report.playing_frames = 0;
    }
    report.time_ns = now_ns();
    for (std::size_t i = 0; i < spectrum_window; ++i)
        report.mono[i] = m.history[(m.history_at + i) % spectrum_window];
    reports.publish();
    m.last_epoch = m.epoch;
    m.last_start = start;
    m.last_frames = static_cast<std::int64_t>(done);
}

namespace {
void audio_callback(void* user, Uint8* stream, int bytes)
{
    auto* s = static_cast<Sound::State*>(user);
    s->mix(reinterpret_cast<float*>(stream), static_cast<std::size_t>(bytes) / (2 * sizeof(float)));
}
}

// ---------------------------------------------------------------------------
// Main-thread interface.

Sound::Sound() : state_(std::make_unique<State>()) {}

Sound::~Sound() { close(); }

bool Sound::init(int mix_rate)
{
    close();
    State& s = *state_;
    s.error.clear();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        s.error = SDL_GetError();
        return false;
    }
    s.audio_subsystem = true;
    SDL_AudioSpec want{};
    want.freq = mix_rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = device_frames;
    want.callback = audio_callback;
    want.userdata = &s;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts to the device's own format, so the
    // callback always sees float stereo at mix_rate, device_frames at a time.
    s.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (s.device == 0) {
        s.error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        s.audio_subsystem = false;
        return false;
    }
    s.rate = mix_rate;
    return true;
}

bool Sound::load(const std::string& path)
{
    State& s = *state_;
    if (s.device == 0) {
        s.error = "the audio device is not open";
        return false;
    }
    // Replacing a track: silence the callback and stop the decoder first,
    // so that nothing else touches the ring while it is emptied.
    SDL_PauseAudioDevice(s.device, 1);
    s.playing = false;
    s.played = false;
    s.stop_decoder();
    s.loaded = false;
    s.length.store(0, std::memory_order_relaxed);
    s.ring.clear();
    if (!s.decoder.open(path, s.rate)) {
        s.error = path + ": " + s.decoder.error();
        return false;
    }
    s.length.store(s.decoder.length(), std::memory_order_relaxed);
    s.request_seek(0);  // a fresh epoch: nothing of an earlier track is heard
    s.decoder_thread = std::thread([&s] { s.decode_loop(); });
    s.loaded = true;
    return true;
}

void Sound::set_loop(bool loop) { state_->loop.store(loop, std::memory_order_relaxed); }

void Sound::set_spectrum_active(bool active)
{
    state_->spectrum_active = active;
    if (!active)
        state_->spectrum.fill(0.0F);
}

bool Sound::play(int channel_number)
{
    State& s = *state_;
    if (channel_number != channel || !s.loaded)
        return false;
    // The decoder primed the ring at load: starting from the top needs no
    // seek unless something already played or moved.
    if (s.played || s.target != 0)
        s.request_seek(0);
    s.playing = true;
    s.played = true;
    SDL_PauseAudioDevice(s.device, 0);
    return true;
}

void Sound::set_volume(int channel_number, int volume)
{
    if (channel_number != channel)
        return;
    state_->volume.store(std::clamp(volume, 0, 255), std::memory_order_relaxed);
}

std::uint32_t Sound::position(int channel_number)
{
    State& s = *state_;
    if (channel_number != channel || !s.loaded)
        return 0;
    s.spectrum_fresh = s.reports.refresh() || s.spectrum_fresh;
    const PlaybackReport& r = s.reports.front();
    if (!r.valid || r.epoch != s.epoch)
        return s.target;  // the seek has not reached the callback yet
    const double elapsed_ns = static_cast<double>(now_ns() - r.time_ns);
    const auto elapsed = static_cast<std::int64_t>(elapsed_ns * s.rate / 1e9);
    const std::int64_t p = r.playing_start + std::clamp<std::int64_t>(elapsed, 0, r.playing_frames);
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(p, 0, length()));
}

int Sound::frequency(int channel_number) const
{
    return channel_number == channel && state_->loaded ? state_->rate : 0;
}

bool Sound::set_position(int channel_number, std::uint32_t frame)
{
    State& s = *state_;
    if (channel_number != channel || !s.loaded || static_cast<std::int64_t>(frame) >= length())
        return false;
    s.request_seek(frame);
    return true;
}

const std::array<float, 512>& Sound::spectrum()
{
    State& s = *state_;
    s.spectrum_fresh = s.reports.refresh() || s.spectrum_fresh;
    if (s.spectrum_active && s.spectrum_fresh && s.reports.front().valid) {
        s.analyser.analyse(s.reports.front().mono, s.spectrum);
        s.spectrum_fresh = false;
    }
    return s.spectrum;
}

void Sound::close()
{
    State& s = *state_;
    if (s.device != 0) {
        SDL_CloseAudioDevice(s.device);  // joins SDL's audio thread
        s.device = 0;
    }
    s.stop_decoder();
    s.decoder.close();
    s.ring.clear();
    s.loaded = false;
    s.playing = false;
    s.length.store(0, std::memory_order_relaxed);
    if (s.audio_subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        s.audio_subsystem = false;
    }
}

std::int64_t Sound::length() const { return state_->length.load(std::memory_order_acquire); }

const std::string& Sound::error() const { return state_->error; }

double position_seconds(std::uint32_t frames, int frequency)
{
    return frequency > 0 ? static_cast<double>(frames) / frequency : 0.0;
}
