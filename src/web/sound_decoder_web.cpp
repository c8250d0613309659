// SoundDecoder in the browser: the soundtrack the page decoded and handed
// over (web_soundtrack.h), read as the desktop's decoder reads the file.
#include "sound/sound_decoder.h"

#include "web/web_soundtrack.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace
{
constexpr int handed_over_rate = 44100;

// Each decoder's read position (the class keeps a decoder handle, not one).
std::unordered_map<const SoundDecoder *, std::int64_t> &positions()
{
    static std::unordered_map<const SoundDecoder *, std::int64_t> p;
    return p;
}
} // namespace

std::vector<float> &web_soundtrack()
{
    static std::vector<float> frames;
    return frames;
}

SoundDecoder::~SoundDecoder()
{
    close();
}

bool SoundDecoder::open(const std::string &, int rate)
{
    close();
    if (web_soundtrack().empty()) {
        error_ = "the page has not handed over the soundtrack";
        return false;
    }
    if (rate != handed_over_rate) {
        error_ = "the soundtrack is handed over at 44100 Hz only";
        return false;
    }
    length_ = static_cast<std::int64_t>(web_soundtrack().size() / 2);
    positions()[this] = 0;
    return true;
}

void SoundDecoder::close()
{
    positions().erase(this);
    length_ = 0;
}

bool SoundDecoder::scan()
{
    return positions().count(this) != 0;
}

bool SoundDecoder::seek(std::int64_t frame)
{
    if (positions().count(this) == 0 || frame < 0 || frame > length_)
        return false;
    positions()[this] = frame;
    return true;
}

std::size_t SoundDecoder::read(float *out, std::size_t frames)
{
    const auto found = positions().find(this);
    if (found == positions().end())
        return 0;
    const std::int64_t left = std::max<std::int64_t>(0, length_ - found->second);
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(frames)));
    std::memcpy(out, web_soundtrack().data() + 2 * found->second, n * 2 * sizeof(float));
    found->second += static_cast<std::int64_t>(n);
    return n;
}
