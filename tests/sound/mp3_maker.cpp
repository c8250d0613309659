#include "mp3_maker.h"

#include "support/scratch_folder.h"

#include <lame/lame.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <system_error>
#include <unistd.h>
#include <vector>

std::filesystem::path scratch_dir()
{
    // Goes when the process that made it exits normally.
    static const ScratchFolder dir("sound");
    return dir.path();
}

std::filesystem::path make_mp3(const std::filesystem::path &path, const ToneFile &tone)
{
    lame_global_flags *lame = lame_init();
    lame_set_in_samplerate(lame, tone.rate);
    lame_set_out_samplerate(lame, tone.rate);
    lame_set_num_channels(lame, tone.channels);
    lame_set_mode(lame, tone.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, 128);
    lame_set_quality(lame, 7); // fast; the tests need tones, not fidelity
    if (lame_init_params(lame) < 0)
        throw std::runtime_error("lame_init_params failed");

    const auto frames = static_cast<std::size_t>(tone.seconds * tone.rate);
    std::vector<float> left(frames);
    double phase = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / tone.rate;
        const double f = t < tone.switch_at ? tone.frequency : tone.frequency_after;
        left[i] = static_cast<float>(f > 0.0 ? tone.amplitude * std::sin(phase) : 0.0);
        phase += 2.0 * std::numbers::pi * f / tone.rate;
    }
    std::vector<unsigned char> mp3(frames * 5 / 4 + 7200 + 16384);
    int n = lame_encode_buffer_ieee_float(lame, left.data(), left.data(), static_cast<int>(frames),
                                          mp3.data(), static_cast<int>(mp3.size()));
    if (n < 0)
        throw std::runtime_error("lame_encode_buffer failed");
    const int tail = lame_encode_flush(lame, mp3.data() + n, static_cast<int>(mp3.size()) - n);
    n += tail;

    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        throw std::runtime_error("cannot write " + path.string());
    std::fwrite(mp3.data(), 1, static_cast<std::size_t>(n), f);
    // The LAME tag (length, encoder delay, padding) replaces the placeholder
    // frame at the start, so decoders can play the file gaplessly.
    unsigned char tag[2880];
    const std::size_t tag_size = lame_get_lametag_frame(lame, tag, sizeof tag);
    if (tag_size > 0 && tag_size <= sizeof tag) {
        std::fseek(f, 0, SEEK_SET);
        std::fwrite(tag, 1, tag_size, f);
    }
    std::fclose(f);
    lame_close(lame);
    return path;
}
