// The show's music on the sound module (see music.h): the set-up sequence
// with its two fatal failures, and the per-frame calls of the frame loop.
//
// Depends on: sound/sound.h, runtime/message_box.h. The module instance is
// the process-wide sound library; main thread only.
#include "sound/music.h"

#include "runtime/message_box.h"
#include "sound/sound.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <system_error>
#include <thread>

namespace
{
constexpr int mix_rate = 44100;
constexpr const char *caption = "ZVX  ";

Sound &sound()
{
    static Sound instance;
    return instance;
}

// The show's own words first, then the cause in the system's (SDL's reason
// for the device, the decoder's for the file) on standard error.
[[noreturn]] void fail(const char *text, int exit_code, const std::string &cause)
{
    message_box(text, caption, MessageIcon::information);
    std::fprintf(stderr, "sound: %s\n", cause.c_str());
    sound().close();
    std::exit(exit_code);
}

std::string or_unknown(const std::string &why)
{
    return why.empty() ? "no reason given" : why;
}
} // namespace

void music_start()
{
    Sound &s = sound();
    if (!s.init(mix_rate))
        fail("Problem initializing FMod. \nProgram will now exit.", 1,
             "the audio device cannot be opened: " + or_unknown(s.error()));
    if (!s.load(soundtrack_file))
        fail("Problem initializing FMod. \nNo sound file.", 0,
             std::string("the soundtrack \"") + soundtrack_file +
                 "\" cannot be played: " + or_unknown(s.error()));
    // A tag may claim more than a cut-short file holds: wait for the scan,
    // which comes right after the first buffers are decoded, so that the
    // length is the one the track really plays. Before play, so the music
    // and the show clock still start together.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!s.length_final() && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    s.set_loop(false);
    s.set_spectrum_active(true);
    s.play(Sound::channel);
    s.set_volume(Sound::channel, 255);
}

double music_read_time()
{
    Sound &s = sound();
    return position_seconds(s.position(Sound::channel), s.frequency(Sound::channel));
}

double music_length()
{
    return static_cast<double>(sound().length()) / mix_rate;
}

void music_warn_if_shorter_than(double show_seconds)
{
    const double track = music_length();
    if (!(track < show_seconds))
        return;
    std::error_code ec;
    const std::filesystem::path where = std::filesystem::absolute(soundtrack_file, ec).lexically_normal();
    std::fprintf(stderr,
                 "soundtrack: \"%s\" lasts %.1f s, shorter than the show's %.0f s: the picture goes on "
                 "without sound after it\n",
                 (ec ? std::string(soundtrack_file) : where.string()).c_str(), track, show_seconds);
    std::fflush(stderr);
}

bool music_has_ended()
{
    return sound().finished(Sound::channel);
}

bool music_seek(double seconds)
{
    // Seeking always counts 44100 frames per second, the mix rate every
    // track is converted to. A time that has no frame number (negative, not
    // a number, beyond 32 bits) cannot be a position in the track.
    const double frame = std::trunc(seconds * mix_rate);
    if (!(frame >= 0.0) || frame > static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
        return false;
    return sound().set_position(Sound::channel, static_cast<std::uint32_t>(frame));
}

void music_copy_spectrum(std::array<float, 512> &out)
{
    out = sound().spectrum();
}

void music_set_volume(int volume)
{
    sound().set_volume(Sound::channel, volume);
}

void music_set_paused(bool paused)
{
    sound().set_paused(Sound::channel, paused);
}

void music_close()
{
    sound().close();
}
