// MP3 encoding: see mp3_writer.h.
#include "mp3_writer.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>

namespace synth
{
namespace
{

struct LameDeleter {
    void operator()(lame_global_flags *f) const { lame_close(f); }
};

} // namespace

std::vector<unsigned char> encode_mp3(const StereoBuffer &audio, const Mp3Settings &settings,
                                      std::string &error)
{
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame) {
        error = "cannot start the MP3 encoder";
        return {};
    }
    lame_global_flags *f = lame.get();
    lame_set_in_samplerate(f, static_cast<int>(sample_rate));
    lame_set_out_samplerate(f, static_cast<int>(sample_rate));
    lame_set_num_channels(f, 2);
    lame_set_mode(f, JOINT_STEREO);
    lame_set_VBR(f, vbr_off);
    lame_set_brate(f, settings.kbps);
    lame_set_quality(f, settings.quality);
    lame_set_bWriteVbrTag(f, 1);
    if (lame_init_params(f) < 0) {
        error = "the MP3 encoder rejected its settings";
        return {};
    }

    std::vector<unsigned char> out;
    constexpr std::size_t chunk = 8192;
    std::vector<unsigned char> buf(chunk * 5 / 4 + 7200);
    for (std::size_t pos = 0; pos < audio.frames(); pos += chunk) {
        const int n = static_cast<int>(std::min(chunk, audio.frames() - pos));
        const int written =
            lame_encode_buffer_ieee_float(f, audio.left.data() + pos, audio.right.data() + pos, n, buf.data(),
                                          static_cast<int>(buf.size()));
        if (written < 0) {
            error = "the MP3 encoder failed (code " + std::to_string(written) + ")";
            return {};
        }
        out.insert(out.end(), buf.begin(), buf.begin() + written);
    }
    const int tail = lame_encode_flush(f, buf.data(), static_cast<int>(buf.size()));
    if (tail < 0) {
        error = "the MP3 encoder failed to flush";
        return {};
    }
    out.insert(out.end(), buf.begin(), buf.begin() + tail);

    // The info frame sits in place of the first (silent) frame.
    std::vector<unsigned char> tag(4096);
    const std::size_t tag_size = lame_get_lametag_frame(f, tag.data(), tag.size());
    if (tag_size > 0 && tag_size <= out.size())
        std::copy(tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(tag_size), out.begin());
    return out;
}

} // namespace synth
