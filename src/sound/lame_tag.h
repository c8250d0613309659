// The gapless information of an MP3 file: the encoder's delay and padding
// from the LAME tag in the first frame (the Xing/Info frame), read from the
// file's bytes. A decoder that keeps every decoded sample (a browser's
// decodeAudioData) starts `decoder_start_skip` samples before the first
// sample that libmpg123's gapless decoding gives: trimming that many makes
// position 0 the same sample on both.
//
// No I/O, no library: the bytes in, plain values out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

struct LameTag {
    int encoder_delay = 0; // samples the encoder put before the audio
    int padding = 0;       // samples after it, to fill the last frame
    int sample_rate = 0;   // of the first frame
    // Offset of the first frame after the tag's frame (where the audio is).
    std::size_t audio_offset = 0;
    // Samples of the gapless decode (the tag's frame count less the delay
    // and the padding); 0 when the tag does not count its frames.
    std::int64_t gapless_length = 0;
};

// The layer III decoder's own delay, which every decoder adds before the
// encoder's (528 samples of the synthesis filter plus one).
inline constexpr int mp3_decoder_delay = 529;

// Nothing when the bytes do not start (after an ID3v2 tag) with an MPEG
// layer III frame carrying a Xing/Info header with a LAME extension.
std::optional<LameTag> read_lame_tag(std::span<const std::uint8_t> file);

// Samples at the start of a decode that keeps everything (the tag's frame
// not output) before the first sample of the gapless decode.
inline int decoder_start_skip(const LameTag &tag)
{
    return tag.encoder_delay + mp3_decoder_delay;
}

// Samples to drop from the start of a browser's decode of `decoded_length`
// samples: none where the browser trimmed the delay itself (Chromium 156
// does: its buffer is the gapless decode, sample for sample), the whole
// start skip where its buffer is longer than the gapless decode.
inline int browser_start_skip(const LameTag &tag, std::int64_t decoded_length)
{
    return tag.gapless_length > 0 && decoded_length <= tag.gapless_length ? 0 : decoder_start_skip(tag);
}
