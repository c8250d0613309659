// Times what the viewer waits for: from loading the soundtrack to hearing
// it, and from a seek to the position moving on from the new place.
//
//   SDL_AUDIODRIVER=dummy ./sound_bench [runs] [track.mp3]
//
// Without a track, a four-minute test track is encoded once into the
// working folder.
#include "mp3_maker.h"
#include "sound/sound.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace
{
using steady = std::chrono::steady_clock;

double ms_since(steady::time_point t)
{
    return std::chrono::duration<double, std::milli>(steady::now() - t).count();
}

struct Row {
    std::string name;
    std::vector<double> ms;
};

void print(const Row &r)
{
    std::vector<double> v = r.ms;
    std::sort(v.begin(), v.end());
    std::printf("| %-44s | %8.2f | %8.2f | %8.2f | %4zu |\n", r.name.c_str(), v.front(), v[v.size() / 2],
                v.back(), v.size());
}

// Polls until the position leaves `from` (the first buffer of the new place
// is being heard); gives up after two seconds.
double wait_for_motion(Sound &s, std::uint32_t from, steady::time_point since)
{
    while (s.position(Sound::channel) <= from) {
        if (ms_since(since) > 2000.0)
            return -1.0;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return ms_since(since);
}
} // namespace

int main(int argc, char **argv)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::filesystem::path track = argc > 2 ? argv[2] : "sound-bench-four-minutes.mp3";
    if (argc <= 2 && !std::filesystem::exists(track)) {
        std::printf("encoding a four-minute MP3 (once)...\n");
        make_mp3(track, {.seconds = 240.0, .frequency = 440.0, .switch_at = 120.0, .frequency_after = 880.0});
    }
    if (!std::filesystem::exists(track)) {
        std::fprintf(stderr, "%s: no such file\n", track.c_str());
        return 1;
    }
    std::printf("track: %s, %.1f MB\n", track.c_str(),
                static_cast<double>(std::filesystem::file_size(track)) / 1e6);

    Row init{"init (open the audio device)", {}};
    Row load{"load (open, start decoding)", {}};
    Row load_play{"load + play calls", {}};
    Row first_sound{"load to position moving (first buffer heard)", {}};
    Row seek_call{"seek call", {}};
    Row seek_read{"seek to position read back at the target", {}};
    Row seek_move{"seek to position moving from the target", {}};
    // The first seek comes right after the first buffer is heard, while the
    // decoder thread still scans the file's frame headers: it waits for that.
    Row first_seek_move{"  the same, first seek right after load", {}};
    int seek_failures = 0;
    std::vector<std::int64_t> lengths;

    for (int run = 0; run < runs; ++run) {
        Sound s;
        auto t = steady::now();
        if (!s.init(44100)) {
            std::fprintf(stderr, "no audio device: %s\n", s.error().c_str());
            return 1;
        }
        init.ms.push_back(ms_since(t));

        t = steady::now();
        if (!s.load(track.string())) {
            std::fprintf(stderr, "load failed: %s\n", s.error().c_str());
            return 1;
        }
        load.ms.push_back(ms_since(t));
        s.play(Sound::channel);
        load_play.ms.push_back(ms_since(t));
        first_sound.ms.push_back(wait_for_motion(s, 0, t));
        if (run == 0)
            std::printf("length at load: %lld frames", static_cast<long long>(s.length()));

        std::uint32_t g = 777U + static_cast<std::uint32_t>(run);
        for (int i = 0; i < 10; ++i) {
            g = g * 1664525U + 1013904223U;
            const std::uint32_t target = (g >> 4) % static_cast<std::uint32_t>(s.length() - 44100);
            t = steady::now();
            s.set_position(Sound::channel, target);
            seek_call.ms.push_back(ms_since(t));
            if (s.position(Sound::channel) != target)
                ++seek_failures;
            seek_read.ms.push_back(ms_since(t));
            (i == 0 ? first_seek_move : seek_move).ms.push_back(wait_for_motion(s, target, t));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        lengths.push_back(s.length());
    }

    std::printf(", after the background scan: %lld frames (%.3f s)\n", static_cast<long long>(lengths.back()),
                static_cast<double>(lengths.back()) / 44100.0);
    std::printf("\n| %-44s | %8s | %8s | %8s | %4s |\n", "step (milliseconds)", "min", "median", "max", "n");
    std::printf("|%s|----------|----------|----------|------|\n", std::string(46, '-').c_str());
    for (const Row *r :
         {&init, &load, &load_play, &first_sound, &seek_call, &seek_read, &seek_move, &first_seek_move})
        print(*r);
    if (seek_failures > 0)
        std::printf("\n%d seeks did not read back their target at once\n", seek_failures);
    return 0;
}
