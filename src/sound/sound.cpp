// The sound module's main-thread interface (see sound.h): opens the
// device, loads and plays the track, answers position and spectrum
// queries from the callback's latest report, and closes everything.
#include "sound/sound_state.h"

#include <algorithm>

Sound::Sound() : state_(std::make_unique<State>()) {}

Sound::~Sound()
{
    close();
}

bool Sound::init(int mix_rate)
{
    close();
    State &s = *state_;
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
    want.callback = sound_audio_callback;
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

bool Sound::load(const std::string &path)
{
    State &s = *state_;
    if (s.device == 0) {
        s.error = "the audio device is not open";
        return false;
    }
    // Replacing a track: silence the callback and stop the decoder first,
    // so that nothing else touches the ring while it is emptied.
    SDL_PauseAudioDevice(s.device, 1);
    s.playing = false;
    s.played = false;
    s.paused = false;
    s.stop_decoder();
    s.loaded = false;
    s.length.store(0, std::memory_order_relaxed);
    s.length_final.store(false, std::memory_order_relaxed);
    s.end_mark.store(0, std::memory_order_relaxed);
    s.ring.clear();
    if (!s.decoder.open(path, s.rate)) {
        s.error = path + ": " + s.decoder.error();
        return false;
    }
    s.length.store(s.decoder.length(), std::memory_order_relaxed);
    s.request_seek(0); // a fresh epoch: nothing of an earlier track is heard
    s.decoder_thread = std::thread([&s] { s.decode_loop(); });
    s.loaded = true;
    return true;
}

void Sound::set_loop(bool loop)
{
    state_->loop.store(loop, std::memory_order_release);
    state_->poke();
}

void Sound::set_spectrum_active(bool active)
{
    state_->spectrum_active = active;
    if (!active)
        state_->spectrum.fill(0.0F);
}

bool Sound::play(int channel_number)
{
    State &s = *state_;
    if (channel_number != channel || !s.loaded)
        return false;
    // The decoder primed the ring at load: starting from the top needs no
    // seek unless something already played or moved.
    if (s.played || s.target != 0)
        s.request_seek(0);
    s.playing = true;
    s.played = true;
    s.paused = false;
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
    State &s = *state_;
    if (channel_number != channel || !s.loaded)
        return 0;
    if (s.paused)
        return s.held;
    s.spectrum_fresh = s.reports.refresh() || s.spectrum_fresh;
    const PlaybackReport &r = s.reports.front();
    if (!r.valid || r.epoch != s.epoch)
        return s.target; // the seek has not reached the callback yet
    const double elapsed_ns = static_cast<double>(sound_now_ns() - r.time_ns);
    const auto elapsed = static_cast<std::int64_t>(elapsed_ns * s.rate / 1e9);
    const std::int64_t p = r.playing_start + std::clamp<std::int64_t>(elapsed, 0, r.playing_frames);
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(p, 0, length()));
}

bool Sound::finished(int channel_number)
{
    State &s = *state_;
    if (channel_number != channel || !s.loaded)
        return false;
    s.spectrum_fresh = s.reports.refresh() || s.spectrum_fresh;
    const PlaybackReport &r = s.reports.front();
    return r.valid && r.epoch == s.epoch && r.ended;
}

int Sound::frequency(int channel_number) const
{
    return channel_number == channel && state_->loaded ? state_->rate : 0;
}

bool Sound::set_position(int channel_number, std::uint32_t frame)
{
    State &s = *state_;
    if (channel_number != channel || !s.loaded || static_cast<std::int64_t>(frame) >= length())
        return false;
    s.request_seek(frame);
    if (s.paused)
        s.held = frame;
    return true;
}

void Sound::set_paused(int channel_number, bool paused)
{
    State &s = *state_;
    if (channel_number != channel || !s.loaded || !s.playing || paused == s.paused)
        return;
    if (paused) {
        // The device stops where the listener is: the extrapolated position
        // would otherwise run on to the end of the buffer last reported.
        s.held = position(channel);
        s.paused = true;
        SDL_PauseAudioDevice(s.device, 1);
    } else {
        // Frames already mixed past the held one are dropped: playback
        // picks up at exactly the frame that was held.
        s.paused = false;
        s.request_seek(s.held);
        SDL_PauseAudioDevice(s.device, 0);
    }
}

const std::array<float, 512> &Sound::spectrum()
{
    State &s = *state_;
    s.spectrum_fresh = s.reports.refresh() || s.spectrum_fresh;
    if (s.spectrum_active && s.spectrum_fresh && s.reports.front().valid) {
        s.analyser.analyse(s.reports.front().mono, s.spectrum);
        s.spectrum_fresh = false;
    }
    return s.spectrum;
}

void Sound::close()
{
    State &s = *state_;
    if (s.device != 0) {
        SDL_CloseAudioDevice(s.device); // joins SDL's audio thread
        s.device = 0;
    }
    s.stop_decoder();
    s.decoder.close();
    s.ring.clear();
    s.loaded = false;
    s.playing = false;
    s.paused = false;
    s.length.store(0, std::memory_order_relaxed);
    if (s.audio_subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        s.audio_subsystem = false;
    }
}

std::int64_t Sound::length() const
{
    return state_->length.load(std::memory_order_acquire);
}

bool Sound::length_final() const
{
    return state_->length_final.load(std::memory_order_acquire);
}

const std::string &Sound::error() const
{
    return state_->error;
}

double position_seconds(std::uint32_t frames, int frequency)
{
    return frequency > 0 ? static_cast<double>(frames) / frequency : 0.0;
}
