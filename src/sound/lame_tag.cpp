#include "sound/lame_tag.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace
{

std::size_t id3v2_size(std::span<const std::uint8_t> f)
{
    if (f.size() < 10 || std::memcmp(f.data(), "ID3", 3) != 0)
        return 0;
    // Four 7-bit bytes ("syncsafe"), then a footer of 10 more when flagged.
    std::size_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (f[i] & 0x80)
            return 0;
        size = (size << 7) | f[i];
    }
    return 10 + size + ((f[5] & 0x10) ? 10 : 0);
}

std::uint32_t be32(const std::uint8_t *p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

} // namespace

std::optional<LameTag> read_lame_tag(std::span<const std::uint8_t> f)
{
    const std::size_t at = id3v2_size(f);
    if (at + 4 > f.size())
        return std::nullopt;
    const std::uint8_t *h = f.data() + at;
    // Sync, layer III (01 in bits 1-2 of the second byte).
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || ((h[1] >> 1) & 3) != 1)
        return std::nullopt;
    const int version = (h[1] >> 3) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int bitrate_index = (h[2] >> 4) & 15;
    const int rate_index = (h[2] >> 2) & 3;
    if (version == 1 || bitrate_index == 0 || bitrate_index == 15 || rate_index == 3)
        return std::nullopt;
    constexpr std::array<int, 3> mpeg1_rates{44100, 48000, 32000};
    const int rate = mpeg1_rates[rate_index] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    constexpr std::array<int, 15> mpeg1_kbps{0,   32,  40,  48,  56,  64,  80, 96,
                                             112, 128, 160, 192, 224, 256, 320};
    constexpr std::array<int, 15> mpeg2_kbps{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    const int kbps = version == 3 ? mpeg1_kbps[bitrate_index] : mpeg2_kbps[bitrate_index];
    const int padded = (h[2] >> 1) & 1;
    const std::size_t frame_bytes =
        static_cast<std::size_t>((version == 3 ? 144 : 72) * kbps * 1000 / rate + padded);
    const bool mono = ((h[3] >> 6) & 3) == 3;
    const std::size_t side_info = version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17);

    // The whole tag frame must be there; the Xing/Info header follows the
    // side information.
    if (at + frame_bytes > f.size())
        return std::nullopt;
    std::size_t p = at + 4 + side_info;
    if (p + 8 > at + frame_bytes)
        return std::nullopt;
    if (std::memcmp(f.data() + p, "Xing", 4) != 0 && std::memcmp(f.data() + p, "Info", 4) != 0)
        return std::nullopt;
    const std::uint32_t flags = be32(f.data() + p + 4);
    const std::int64_t frames = (flags & 1) ? be32(f.data() + p + 8) : 0;
    p += 8 + ((flags & 1) ? 4 : 0) + ((flags & 2) ? 4 : 0) + ((flags & 4) ? 100 : 0) + ((flags & 8) ? 4 : 0);
    // The LAME extension: a 9-byte encoder name, then at byte 21 the delay
    // and the padding, 12 bits each.
    if (p + 24 > at + frame_bytes)
        return std::nullopt;
    const std::uint8_t *lame = f.data() + p;
    if (std::memcmp(lame, "LAME", 4) != 0 && std::memcmp(lame, "Lavc", 4) != 0 &&
        std::memcmp(lame, "Lavf", 4) != 0)
        return std::nullopt;
    LameTag tag;
    tag.encoder_delay = (lame[21] << 4) | (lame[22] >> 4);
    tag.padding = ((lame[22] & 15) << 8) | lame[23];
    tag.sample_rate = rate;
    tag.audio_offset = at + frame_bytes;
    const std::int64_t samples_per_frame = version == 3 ? 1152 : 576;
    tag.gapless_length =
        std::max<std::int64_t>(frames * samples_per_frame - tag.encoder_delay - tag.padding, 0);
    return tag;
}
