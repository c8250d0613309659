// jpeg_image_decoder: a small baseline and progressive JPEG decoder that
// hands out one pixel row at a time. No GL, no SDL, no exceptions out.
//
// SUPPORTED
//   - 8-bit sequential Huffman (SOF0, SOF1) and progressive Huffman (SOF2).
//   - One component (greyscale) or three (YCbCr, JFIF full range) with luma
//     sampling 1x1, 2x1, 1x2 or 2x2 and chroma 1x1. Sequential images with
//     one scan per component and progressive images are decoded into
//     coefficient storage first; a single interleaved sequential scan is
//     decoded one MCU row at a time.
//   - Restart intervals, DNL-free files, leading garbage under 512 bytes.
// NOT SUPPORTED (each has its error code, see jpeg_error)
//   arithmetic coding (-215), lossless and hierarchical frames (-218),
//   12-bit samples (-205), two or four components (-225 at start), other
//   sampling factors (-226 at start), Adobe/CMYK colour transforms.
// LIMITS
//   width and height 1..8192; at most 100 allocations (all zero-filled,
//   released together on error or destruction); a progressive 8192 x 8192
//   4:2:0 image needs about 200 MB of coefficient storage.
// OUTPUT LAYOUT
//   next_line() hands out rows top row first. Greyscale: 1 byte per pixel.
//   Colour: 4 bytes per pixel, R, G, B, then 0. A row holds exactly
//   width * bytes_per_pixel() meaningful bytes and stays valid until the
//   next call. Chroma is upsampled by replication (no smoothing).
// INVERSE DCT AND COLOUR
//   The scaled Arai-Agui-Nakajima integer transform on 16-bit values with
//   the quantisation folded into a prescaled table. use_simd selects the
//   best vector form the processor runs (AVX2, two blocks at a time, chosen
//   at run time on x86-64; else SSE2 where the compiler targets it); without
//   it a portable scalar form runs. Every form gives identical bytes. A
//   block without AC coefficients skips the transform (its 64 samples are
//   all the same value).
// BAD INPUT
//   Every failure records an error code (the first one is kept) and stops
//   the decoder; it never reads or writes outside its buffers. A truncated
//   file reads as if padded with end-of-image markers and still decodes. A
//   progressive scan whose data runs out (a block needed bits past a
//   marker) leaves its remaining blocks up to the next restart as earlier
//   scans made them, as libjpeg-turbo does.
// THREAD SAFETY
//   One decoder per thread; decoders share only constant tables.
//
// Depends on: jpeg_decoder_stream.h, the C++ standard library.
#pragma once

#include "assets/jpeg/jpeg_decoder_stream.h"

#include <cstddef>
#include <cstdint>

enum jpeg_error : int {
    jpeg_ok = 0,
    jpeg_bad_dht_counts = -200,          // DHT: code-length counts sum above 255
    jpeg_bad_dht_index = -201,           // DHT: table index (id + 4 x class) above 7
    jpeg_bad_dht_marker = -202,          // DHT: length below 2, or tables longer than the marker
    jpeg_bad_dqt_marker = -203,          // DQT: length below 2
    jpeg_bad_dqt_table = -204,           // DQT: table id above 3
    jpeg_bad_precision = -205,           // frame: sample precision not 8
    jpeg_bad_height = -206,              // frame: height outside 1..8192
    jpeg_bad_width = -207,               // frame: width outside 1..8192
    jpeg_too_many_components = -208,     // frame: more than 4 components
    jpeg_bad_sof_length = -209,          // frame: length not 8 + 3 x components
    jpeg_bad_variable_marker = -210,     // variable-length marker: length below 2
    jpeg_bad_dri_length = -211,          // DRI: length not 4
    jpeg_bad_sos_length = -212,          // scan: length not 6 + 2 x components, or 0 / over 4 components
    jpeg_bad_sos_comp_id = -213,         // scan: component id not in the frame
    jpeg_no_arithmetic_support = -215,   // arithmetic coding (SOF9 or DAC)
    jpeg_unexpected_marker = -216,       // marker out of place, or EOI before the first scan
    jpeg_not_jpeg = -217,                // no start-of-image marker in the first 513 bytes
    jpeg_unsupported_marker = -218,      // lossless, hierarchical or other unsupported frame
    jpeg_bad_dqt_length = -219,          // DQT: tables longer than the marker
    jpeg_too_many_blocks = -221,         // more than 100 allocations needed
    jpeg_undefined_quant_table = -222,   // a scan component's quantisation table is missing
    jpeg_undefined_huff_table = -223,    // a scan component's Huffman table is missing
    jpeg_unsupported_colourspace = -225, // component count other than 1 or 3
    jpeg_unsupported_sampling = -226,    // sampling other than 1x1, 2x1, 1x2, 2x2 over 1x1 chroma
    jpeg_decode_error = -227,            // corrupt entropy-coded data (a run past coefficient 63,
                                         // an invalid Huffman code); also next_line's result after
                                         // any error while decoding rows
    jpeg_bad_restart_marker = -228,      // restart marker missing or out of sequence
    jpeg_assertion_error = -229,         // MCU row too wide, or a coefficient index out of range
    jpeg_bad_sos_spectral = -230,        // progressive scan with invalid spectral selection
    jpeg_bad_sos_successive = -231,      // progressive scan with invalid successive approximation
    jpeg_stream_read = -232,             // the stream reported a read error
    jpeg_not_enough_memory = -233,       // an allocation failed
};

class jpeg_image_decoder
{
  public:
    static constexpr int max_dimension = 8192;
    static constexpr int input_buffer_size = 4096;
    static constexpr int max_allocations = 100;
    static constexpr int max_blocks_per_mcu_row = 6144;
    static constexpr int huffman_fast_bits = 10; // lookahead of the Huffman tables

    // Reads the headers up to and including the frame header. Failures are
    // recorded in error_code(); test it before calling start(). The stream
    // is not owned and must outlive the decoder.
    jpeg_image_decoder(jpeg_decoder_stream *stream, bool use_simd);
    // Kernel forms, for tests and benchmarks: a form the processor lacks is
    // lowered to the best one it has.
    enum class kernels { scalar, sse2, avx2 };
    jpeg_image_decoder(jpeg_decoder_stream *stream, kernels forms);
    ~jpeg_image_decoder();
    jpeg_image_decoder(const jpeg_image_decoder &) = delete;
    jpeg_image_decoder &operator=(const jpeg_image_decoder &) = delete;

    // Sets up the frame and reads up to the first scan; a progressive image
    // (or a sequential one with several scans) is decoded whole here.
    // 0: ready (also when already started); -1: an error code is set (also
    // when an error stopped the decoder after it had started).
    int start();

    // 0: line points at the next row, byte_count = width * bytes per pixel.
    // 1: every row was delivered (and on every later call).
    // -1: not started, or an error code was set earlier.
    // -227: decoding this row failed (error_code() says why).
    int next_line(const std::uint8_t *&line, int &byte_count);

    int width() const { return width_; }
    int height() const { return height_; }
    int component_count() const { return component_count_; }
    int bytes_per_pixel() const { return bytes_per_pixel_; }
    int error_code() const { return error_; }
    bool started() const { return started_; }
    bool progressive() const { return progressive_; }

  private:
    struct stop_signal {
    };

    struct huffman_table {
        // Lookahead: (length << 8) | symbol, 0 for a longer code.
        std::uint16_t fast[1 << huffman_fast_bits];
        // (value << 16) | (run << 8) | code and value bits, 0 = none; DC tables
        // hold the difference with run 0.
        std::int32_t fast_ac[1 << huffman_fast_bits];
        std::int32_t max_code[18]; // largest code of each length, -1 when none
        std::int32_t value_offset[17];
        std::uint8_t values[256];
    };

    struct component {
        int id = 0;
        int h = 1, v = 1; // sampling factors as used for decoding
        int quant = 0;    // quantisation table id
        int dc_table = 0, ac_table = 4;
        std::int16_t dc_pred = 0;
        int blocks_w = 0, blocks_h = 0;       // block grid covered by whole MCUs
        int actual_w = 0, actual_h = 0;       // blocks holding image samples
        std::int16_t *coefficients = nullptr; // buffered mode: 64 per block
        std::uint8_t *plane = nullptr;        // one MCU row of samples
        int plane_stride = 0;
    };

    enum class scan_type { greyscale, h1v1, h2v1, h1v2, h2v2 };
    enum class block_kind { sequential, dc_first, dc_refine, ac_first, ac_refine };

    // Errors and memory.
    [[noreturn]] void stop(int code);
    void release();
    void *allocate(std::size_t bytes);

    // Input.
    int get_byte()
    {
        if (in_pos_ < in_end_)
            return in_buf_[in_pos_++];
        return refill_and_get();
    }
    int refill_and_get();
    int get_word();
    int next_marker();

    // Headers.
    void read_headers();
    void read_dht();
    void read_dqt();
    void read_dri();
    void read_sof(int marker);
    void read_sos();
    void skip_variable_marker();
    int process_markers_until_scan(); // returns 0xDA (SOS) or 0xD9 (EOI)

    // Entropy decoding.
    void begin_scan();
    void build_huffman(int index);
    void fill_bits();
    void fill_bits_slow();
    int decode_huffman(const huffman_table &t);
    int decode_dc_difference(const huffman_table &dc);
    int receive(int n);
    int receive_extend(int n);
    int get_bit();
    void handle_restart();
    bool decode_block_sequential(std::int16_t *block, component &c);
    void decode_block_dc_first(std::int16_t *block, component &c);
    void decode_block_dc_refine(std::int16_t *block);
    void decode_block_ac_first(std::int16_t *block, component &c);
    void decode_block_ac_refine(std::int16_t *block, component &c);
    template <block_kind kind> void decode_buffered_block(component &c, int bx, int by);
    template <block_kind kind> void decode_scan_blocks();
    void decode_buffered_scan();
    void decode_all_scans();

    // Frame set-up and output.
    void set_up_frame();
    void decode_mcu_row_streaming();
    void transform_mcu_row_buffered();
    void transform_ac_block(std::int16_t *block, const std::int16_t *quant, std::uint8_t *out,
                            std::ptrdiff_t stride, bool clear);
    void flush_transforms();
    void produce_line(int line_in_row);

    jpeg_decoder_stream *stream_ = nullptr;
    kernels forms_ = kernels::scalar; // what the processor runs
    bool attached_ = false;

    int width_ = 0, height_ = 0, component_count_ = 0, bytes_per_pixel_ = 0;
    int error_ = 0;
    bool started_ = false;
    bool progressive_ = false;
    bool buffered_ = false;

    // Input buffer: 4096 data bytes plus room for the 64 end-of-image pairs.
    std::uint8_t in_buf_[input_buffer_size + 128] = {};
    int in_pos_ = 0, in_end_ = 0;
    bool in_eof_ = false;

    void *allocations_[max_allocations] = {};
    int allocation_count_ = 0;

    component comps_[4];
    alignas(16) std::int16_t quant_[4][64] = {};
    bool quant_defined_[4] = {};
    std::uint8_t huff_counts_[8][17] = {};
    std::uint8_t huff_values_[8][256] = {};
    bool huff_defined_[8] = {};
    huffman_table *huff_ = nullptr; // 8 built tables (allocated)

    int scan_count_ = 0;
    int scan_comp_[4] = {};
    int spectral_start_ = 0, spectral_end_ = 63, approx_high_ = 0, approx_low_ = 0;
    int restart_interval_ = 0, restarts_left_ = 0, next_restart_ = 0;
    int eob_run_ = 0;

    std::uint64_t bits_ = 0; // MSB-aligned
    int bit_count_ = 0;
    int pending_marker_ = -1; // marker met inside entropy-coded data
    // Zero bits put behind that marker; once bit_count_ is below it, a block
    // has taken some of them: the data ran out.
    std::int64_t padding_bits_ = 0;

    scan_type type_ = scan_type::greyscale;
    int max_h_ = 1, max_v_ = 1;
    int mcu_w_ = 8, mcu_h_ = 8, mcus_x_ = 0, mcus_y_ = 0;
    int mcu_row_ = 0;     // next MCU row to decode
    int line_in_row_ = 0; // next line of the decoded MCU row
    int lines_done_ = 0;
    std::uint8_t *line_buf_ = nullptr;
    std::int16_t *block_buf_ = nullptr; // streaming: two blocks, zero between uses
    int block_slot_ = 0;                // the one decoded into next

    // A block with AC coefficients waiting for a second one, so that the
    // AVX2 form transforms both at once; cleared (zeroed) after when asked.
    struct pending_transform {
        std::int16_t *block = nullptr;
        const std::int16_t *quant = nullptr;
        std::uint8_t *out = nullptr;
        std::ptrdiff_t stride = 0;
        bool clear = false;
    } pending_;

    // Chroma offsets of the current chroma row: r, g, b (offset_stride_
    // each); offsets_row_ is the row they belong to, -1 for none.
    std::int16_t *offsets_ = nullptr;
    int offset_stride_ = 0;
    int offsets_row_ = -1;
};
