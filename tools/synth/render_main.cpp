// synth_render: composes, mixes, masters and encodes the show's soundtrack.
//
//   synth_render OUT.mp3 [--wav OUT.wav]
//
// Prints each stage's time and the master's measurements. The output is
// the same byte for byte on every run.
#include "loudness.h"
#include "mix.h"
#include "mp3_writer.h"
#include "song.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <future>
#include <string>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace
{

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t)
{
    return std::chrono::duration<double>(Clock::now() - t).count();
}
double cpu_seconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

bool write_file(const std::string &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

std::vector<unsigned char> wav_bytes(const synth::StereoBuffer &a)
{
    std::vector<unsigned char> out;
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xff));
    };
    const std::uint32_t data = static_cast<std::uint32_t>(a.frames() * 4);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put(36 + data, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(2, 2);
    put(44100, 4);
    put(44100 * 4, 4);
    put(4, 2);
    put(16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(data, 4);
    for (std::size_t i = 0; i < a.frames(); ++i)
        for (float v : {a.left[i], a.right[i]}) {
            const long s = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
            put(static_cast<std::uint32_t>(static_cast<std::int16_t>(s)), 2);
        }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: synth_render OUT.mp3 [--wav OUT.wav]\n");
        return 2;
    }
    const std::string mp3_path = argv[1];
    std::string wav_path;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc) {
            wav_path = argv[++i];
        } else {
            std::fprintf(stderr, "synth_render: unknown argument '%s'\n", argv[i]);
            return 2;
        }
    }
#if defined(__SSE__)
    // Flush denormals: reverb tails would otherwise crawl through them.
    _mm_setcsr(_mm_getcsr() | 0x8040);
#endif

    const auto t0 = Clock::now();
    const double c0 = cpu_seconds();
    const synth::Score score = synth::compose_song();
    synth::StereoBuffer audio = synth::mix_score(score);
    const double t_mix = seconds_since(t0);
    const double c_mix = cpu_seconds() - c0;
    const auto t1 = Clock::now();
    // The encoder's low-pass near 18 kHz takes about 0.3 LU of the hats'
    // and cymbals' air, so the master aims that much higher: the MP3
    // itself reads -14 LUFS.
    const synth::MasterReport m = synth::master(audio, {-13.7, -2.0, 4});
    const double t_master = seconds_since(t1);
    const double c_master = cpu_seconds() - c0 - c_mix;
    const auto t2 = Clock::now();
    // The true-peak reading runs beside the (single-threaded) encoder.
    auto true_peak_job =
        std::async(std::launch::async, [&] { return synth::true_peak_db(audio.left, audio.right); });
    std::string error;
    const auto mp3 = synth::encode_mp3(audio, {192, 3}, error);
    const double true_peak = true_peak_job.get();
    const double t_encode = seconds_since(t2);
    const double c_encode = cpu_seconds() - c0 - c_mix - c_master; // with the true peak
    if (mp3.empty()) {
        std::fprintf(stderr, "synth_render: %s\n", error.c_str());
        return 1;
    }
    if (!write_file(mp3_path, mp3)) {
        std::fprintf(stderr, "synth_render: cannot write '%s'\n", mp3_path.c_str());
        return 1;
    }
    if (!wav_path.empty() && !write_file(wav_path, wav_bytes(audio))) {
        std::fprintf(stderr, "synth_render: cannot write '%s'\n", wav_path.c_str());
        return 1;
    }
    std::printf("length        %.3f s (%zu frames)\n",
                static_cast<double>(audio.frames()) / synth::sample_rate, audio.frames());
    std::printf("master gain   %+.2f dB, limiter down to %.2f dB\n", m.gain_db, m.smallest_limiter_gain_db);
    std::printf("loudness      %.2f LUFS\n", m.lufs);
    std::printf("sample peak   %.2f dBFS, true peak %.2f dBFS\n", m.sample_peak_db, true_peak);
    std::printf("mp3           %zu bytes\n", mp3.size());
    std::printf("wall time     mix %.2f s, master %.2f s, encode %.2f s, total %.2f s\n", t_mix, t_master,
                t_encode, seconds_since(t0));
    std::printf("cpu time      mix %.2f s, master %.2f s, encode %.2f s, total %.2f s\n", c_mix, c_master,
                c_encode, cpu_seconds() - c0);
    return 0;
}
