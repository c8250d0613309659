// The sound module's audio callback (see sound_state.h): runs on SDL's audio
// thread; never waits, locks or allocates. Takes frames of the current
// epoch from the ring, applies the volume, keeps the mono history for the
// spectrum and reports which track frames the listener hears.
#include "sound/sound_state.h"

#include <algorithm>
#include <cstring>

// analysed_window_start counts on one device buffer per analysed window.
static_assert(Sound::device_frames == spectrum_window);

void Sound::State::mix(float *out, std::size_t frames)
{
    const std::uint64_t r = request.load(std::memory_order_acquire);
    Mixer &m = mixer;
    if (request_epoch(r) != m.epoch) {
        m.epoch = request_epoch(r);
        m.cursor = request_frame(r);
        m.block_offset = 0;
    }
    std::int64_t start = m.cursor;
    std::size_t done = 0;
    bool popped = false;
    while (done < frames) {
        const SoundBlock *b = ring.front();
        if (b == nullptr)
            break;
        if (b->epoch != m.epoch) { // decoded before a seek: obsolete
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
    // Short of frames with the ring empty: the end of the track when the
    // decoder stopped for good at this very frame, else only a late decoder.
    const std::uint64_t end = end_mark.load(std::memory_order_acquire);
    const bool past_end = done < frames && request_epoch(end) == m.epoch &&
                          m.cursor >= static_cast<std::int64_t>(request_frame(end));
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
        m.history[m.history_at] = analysed_mono(out[2 * i], out[2 * i + 1]);
        m.history_at = (m.history_at + 1) % spectrum_window;
    }
    m.gain = target_gain;

    // The device holds one buffer ahead of this one: what starts to be heard
    // now is the previous buffer, unless a seek came in between.
    PlaybackReport &report = reports.back();
    report.valid = true;
    report.epoch = m.epoch;
    if (m.last_epoch == m.epoch) {
        report.playing_start = m.last_start;
        report.playing_frames = m.last_frames;
        report.ended = m.last_ended;
    } else {
        report.playing_start = request_frame(r);
        report.playing_frames = 0;
        report.ended = false;
    }
    report.time_ns = sound_now_ns();
    for (std::size_t i = 0; i < spectrum_window; ++i)
        report.mono[i] = m.history[(m.history_at + i) % spectrum_window];
    reports.publish();
    m.last_epoch = m.epoch;
    m.last_start = start;
    m.last_frames = static_cast<std::int64_t>(done);
    m.last_ended = past_end && done == 0;
}

void sound_audio_callback(void *user, Uint8 *stream, int bytes)
{
    auto *s = static_cast<Sound::State *>(user);
    s->mix(reinterpret_cast<float *>(stream), static_cast<std::size_t>(bytes) / (2 * sizeof(float)));
}
