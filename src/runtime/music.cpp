// The show's music on the sound module (see music.h): the set-up sequence
// with its two fatal failures, and the per-frame calls of the frame loop.
//
// Depends on: runtime/sound.h, runtime/message_box.h. The module instance is
// the process-wide sound library; main thread only.
#include "runtime/music.h"

#include "runtime/message_box.h"
#include "runtime/sound.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace
{
constexpr int mix_rate = 44100;
constexpr const char *caption = "ZVX  ";

Sound &sound()
{
    static Sound instance;
    return instance;
}

[[noreturn]] void fail(const char *text, int exit_code)
{
    message_box(text, caption, MessageIcon::information);
    sound().close();
    std::exit(exit_code);
}
} // namespace

void music_start()
{
    Sound &s = sound();
    if (!s.init(mix_rate))
        fail("Problem initializing FMod. \nProgram will now exit.", 1);
    if (!s.load(soundtrack_file))
        fail("Problem initializing FMod. \nNo sound file.", 0);
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

void music_close()
{
    sound().close();
}
