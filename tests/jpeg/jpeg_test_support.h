// Test support for the JPEG decoder: an in-memory stream (with chunking and
// read-error injection), a whole-image decode with the show's decoder, and
// the libjpeg-turbo oracle (encoder for the generated corpus, decoder with
// its fast integer IDCT and plain upsampling).
//
// Depends on: assets/jpeg, libjpeg (JPEG::JPEG).
#pragma once

#include "assets/jpeg/jpeg_image_decoder.h"

#include <cstdint>
#include <string>
#include <vector>

using bytes = std::vector<std::uint8_t>;

// Serves a byte vector in chunks of at most `chunk` bytes; fails with -1 once
// `fail_at` bytes were served (when fail_at >= 0).
class memory_stream : public jpeg_decoder_stream
{
  public:
    explicit memory_stream(const bytes &data, int chunk = 1 << 30, long fail_at = -1)
        : data_(data), chunk_(chunk), fail_at_(fail_at)
    {
    }
    int read(std::uint8_t *buffer, int max_bytes, bool &end_of_stream) override;
    void on_attach() override { ++attached; }
    void on_detach() override { ++detached; }
    int attached = 0;
    int detached = 0;

  private:
    const bytes &data_;
    std::size_t pos_ = 0;
    int chunk_;
    long fail_at_;
};

struct decoded_image {
    int error = 0;       // error_code() after the first failing step, or 0
    int step_result = 0; // what the failing call returned
    int width = 0, height = 0, channels = 0;
    bytes pixels; // RGB or grey, top row first, tightly packed
};

// Decodes with the show's decoder (RGB or grey out, 4-byte pixels stripped).
decoded_image decode_ours(const bytes &jpeg, bool use_simd = true, int chunk = 1 << 30);
// The same with the kernel forms named (lowered to what the processor runs).
decoded_image decode_ours_with(const bytes &jpeg, jpeg_image_decoder::kernels forms, int chunk = 1 << 30);

struct encode_options {
    int width = 64, height = 64;
    int components = 3; // 1 or 3
    int h = 2, v = 2;   // luma sampling
    int quality = 90;
    bool progressive = false;
    int restart_interval = 0;    // in MCUs
    bool optimize = false;       // image-specific Huffman tables
    bool separate_scans = false; // sequential, one scan per component
    bool cmyk = false;           // four components (pixels hold 4 bytes)
};

// Pixels for the encoder: "photo" (smooth shapes, texture, mild noise),
// "grainy" (a photo with strong grain and sharp tiles), "smooth" (broad
// gradients, no texture or noise), "noise" (uniform random), "bars"
// (saturated colour edges). Deterministic for a given seed.
bytes make_picture(const std::string &kind, int width, int height, int components, unsigned seed);

bytes encode_libjpeg(const bytes &pixels, const encode_options &o);
decoded_image decode_libjpeg(const bytes &jpeg);

// Largest absolute per-byte difference (images must match in size).
int max_difference(const decoded_image &a, const decoded_image &b);
