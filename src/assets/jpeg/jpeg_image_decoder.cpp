// jpeg_image_decoder: lifecycle, memory, input buffer, marker and header
// parsing, frame set-up and row output. The entropy decoding lives in
// jpeg_entropy.cpp, the pixel kernels in jpeg_kernels.cpp.
//
// Errors stop the decoder through stop(), which records the code, releases
// every allocation, detaches the stream and unwinds to the public entry
// point (constructor, start or next_line) that catches it. Nothing escapes.
//
// Depends on: jpeg_decoder_stream.h, jpeg_kernels.h.
#include "assets/jpeg/jpeg_image_decoder.h"

#include "assets/jpeg/jpeg_kernels.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace
{

constexpr int marker_sof0 = 0xC0, marker_sof1 = 0xC1, marker_sof2 = 0xC2;
constexpr int marker_dht = 0xC4, marker_jpg = 0xC8, marker_sof9 = 0xC9, marker_dac = 0xCC;
constexpr int marker_rst0 = 0xD0, marker_rst7 = 0xD7;
constexpr int marker_soi = 0xD8, marker_eoi = 0xD9, marker_sos = 0xDA, marker_dqt = 0xDB;
constexpr int marker_dri = 0xDD, marker_tem = 0x01;

int round_up32(int v)
{
    return (v + 31) & ~31;
}
int ceil_div(int a, int b)
{
    return (a + b - 1) / b;
}

// a * b * c in size_t, or SIZE_MAX when it does not fit.
std::size_t checked_mul(std::size_t a, std::size_t b, std::size_t c = 1)
{
    constexpr std::size_t max = std::numeric_limits<std::size_t>::max();
    if (a != 0 && b > max / a)
        return max;
    const std::size_t ab = a * b;
    if (ab != 0 && c > max / ab)
        return max;
    return ab * c;
}

} // namespace

// ---------------------------------------------------------------------------
// Module Functions Definition: lifecycle and memory
// ---------------------------------------------------------------------------
jpeg_image_decoder::jpeg_image_decoder(jpeg_decoder_stream *stream, bool use_simd)
    : jpeg_image_decoder(stream, use_simd ? kernels::avx2 : kernels::scalar)
{
}

jpeg_image_decoder::jpeg_image_decoder(jpeg_decoder_stream *stream, kernels forms) : stream_(stream)
{
    using jpeg_kernels::simd_level;
    const simd_level wanted = forms == kernels::avx2   ? simd_level::avx2
                              : forms == kernels::sse2 ? simd_level::sse2
                                                       : simd_level::scalar;
    const simd_level usable = jpeg_kernels::usable_simd_level(wanted);
    forms_ = usable == simd_level::avx2   ? kernels::avx2
             : usable == simd_level::sse2 ? kernels::sse2
                                          : kernels::scalar;
    if (stream_ == nullptr) {
        error_ = jpeg_stream_read;
        return;
    }
    stream_->on_attach();
    attached_ = true;
    try {
        read_headers();
    } catch (const stop_signal &) {
    }
}

jpeg_image_decoder::~jpeg_image_decoder()
{
    release();
}

void jpeg_image_decoder::stop(int code)
{
    if (error_ == 0)
        error_ = code;
    release();
    throw stop_signal{};
}

void jpeg_image_decoder::release()
{
    for (int i = 0; i < allocation_count_; ++i)
        std::free(allocations_[i]);
    allocation_count_ = 0;
    for (component &c : comps_) {
        c.coefficients = nullptr;
        c.plane = nullptr;
    }
    huff_ = nullptr;
    line_buf_ = nullptr;
    block_buf_ = nullptr;
    offsets_ = nullptr;
    pending_ = pending_transform{};
    if (attached_) {
        attached_ = false;
        stream_->on_detach();
    }
}

void *jpeg_image_decoder::allocate(std::size_t bytes)
{
    if (allocation_count_ >= max_allocations)
        stop(jpeg_too_many_blocks);
    if (bytes > std::numeric_limits<std::size_t>::max() - 32)
        stop(jpeg_not_enough_memory);
    // Zero-filled; 16 spare bytes let the vector kernels read a little past
    // a row end without leaving the allocation.
    void *p = std::calloc(1, bytes + 16);
    if (p == nullptr)
        stop(jpeg_not_enough_memory);
    allocations_[allocation_count_++] = p;
    return p;
}

// ---------------------------------------------------------------------------
// Module Functions Definition: input
// ---------------------------------------------------------------------------
int jpeg_image_decoder::refill_and_get()
{
    in_pos_ = 0;
    in_end_ = 0;
    while (!in_eof_ && in_end_ < input_buffer_size) {
        bool end = false;
        const int n = stream_->read(in_buf_ + in_end_, input_buffer_size - in_end_, end);
        if (n < 0 || n > input_buffer_size - in_end_)
            stop(jpeg_stream_read);
        in_end_ += n;
        // A source that returns nothing without reporting its end would
        // keep us here forever: take it as the end.
        if (end || n == 0)
            in_eof_ = true;
    }
    if (in_eof_) {
        // Behind the data, end-of-image markers: a truncated file then ends
        // the way a complete one does, and every later read yields them.
        for (int i = 0; i < 64; ++i) {
            in_buf_[in_end_++] = 0xFF;
            in_buf_[in_end_++] = marker_eoi;
        }
    }
    return in_buf_[in_pos_++];
}

int jpeg_image_decoder::get_word()
{
    const int hi = get_byte();
    return (hi << 8) | get_byte();
}

// The next marker code: skips anything up to a 0xFF, the fill bytes after
// it, and stuffed zero bytes. Always ends: the input ends in EOI markers.
int jpeg_image_decoder::next_marker()
{
    for (;;) {
        int c;
        do
            c = get_byte();
        while (c != 0xFF);
        do
            c = get_byte();
        while (c == 0xFF);
        if (c != 0)
            return c;
    }
}

// ---------------------------------------------------------------------------
// Module Functions Definition: headers
// ---------------------------------------------------------------------------
void jpeg_image_decoder::read_headers()
{
    int last = get_byte();
    int current = get_byte();
    if (!(last == 0xFF && current == marker_soi)) {
        bool found = false;
        for (int i = 0; i < 511 && !found; ++i) {
            last = current;
            current = get_byte();
            found = last == 0xFF && current == marker_soi;
        }
        if (!found)
            stop(jpeg_not_jpeg);
    }
    int c = get_byte();
    if (c != 0xFF)
        stop(jpeg_not_jpeg);
    do
        c = get_byte();
    while (c == 0xFF);

    for (;;) {
        switch (c) {
        case marker_sof0:
        case marker_sof1:
        case marker_sof2:
            read_sof(c);
            return;
        case marker_sof9:
        case marker_dac:
            stop(jpeg_no_arithmetic_support);
        case 0xC3:
        case 0xC5:
        case 0xC6:
        case 0xC7:
        case 0xCA:
        case 0xCB:
        case 0xCD:
        case 0xCE:
        case 0xCF:
            stop(jpeg_unsupported_marker);
        case marker_dht:
            read_dht();
            break;
        case marker_dqt:
            read_dqt();
            break;
        case marker_dri:
            read_dri();
            break;
        case marker_tem:
        case marker_jpg:
        case marker_soi:
        case marker_eoi:
        case marker_sos:
            stop(jpeg_unexpected_marker);
        case 0x00:
            break; // a stuffed byte, not a marker
        default:
            if (c >= marker_rst0 && c <= marker_rst7)
                stop(jpeg_unexpected_marker);
            skip_variable_marker();
            break;
        }
        c = next_marker();
    }
}

void jpeg_image_decoder::skip_variable_marker()
{
    const int length = get_word();
    if (length < 2)
        stop(jpeg_bad_variable_marker);
    for (int i = 2; i < length; ++i)
        get_byte();
}

void jpeg_image_decoder::read_dht()
{
    int left = get_word();
    if (left < 2)
        stop(jpeg_bad_dht_marker);
    left -= 2;
    while (left > 0) {
        if (left < 17)
            stop(jpeg_bad_dht_marker);
        const int class_id = get_byte();
        std::uint8_t counts[17] = {};
        int total = 0;
        for (int i = 1; i <= 16; ++i) {
            counts[i] = static_cast<std::uint8_t>(get_byte());
            total += counts[i];
        }
        if (total > 255)
            stop(jpeg_bad_dht_counts);
        const int index = (class_id & 15) + 4 * (class_id >> 4);
        if (index > 7)
            stop(jpeg_bad_dht_index);
        left -= 17;
        if (total > left)
            stop(jpeg_bad_dht_marker);
        std::memcpy(huff_counts_[index], counts, sizeof counts);
        std::memset(huff_values_[index], 0, sizeof huff_values_[index]);
        for (int i = 0; i < total; ++i)
            huff_values_[index][i] = static_cast<std::uint8_t>(get_byte());
        left -= total;
        huff_defined_[index] = true;
    }
}

void jpeg_image_decoder::read_dqt()
{
    int left = get_word();
    if (left < 2)
        stop(jpeg_bad_dqt_marker);
    left -= 2;
    while (left > 0) {
        const int precision_id = get_byte();
        const int id = precision_id & 15;
        const bool wide = (precision_id >> 4) != 0;
        if (id > 3)
            stop(jpeg_bad_dqt_table);
        const int need = wide ? 129 : 65;
        if (left < need)
            stop(jpeg_bad_dqt_length);
        std::uint16_t values[64];
        for (std::uint16_t &v : values)
            v = static_cast<std::uint16_t>(wide ? get_word() : get_byte());
        // Both paths keep the table prescaled for the scaled transform: that
        // is what makes the vector and scalar forms agree byte for byte.
        jpeg_kernels::prescale_quant(values, quant_[id]);
        quant_defined_[id] = true;
        left -= need;
    }
}

void jpeg_image_decoder::read_dri()
{
    if (get_word() != 4)
        stop(jpeg_bad_dri_length);
    restart_interval_ = get_word();
}

void jpeg_image_decoder::read_sof(int marker)
{
    progressive_ = marker == marker_sof2;
    const int length = get_word();
    if (get_byte() != 8)
        stop(jpeg_bad_precision);
    height_ = get_word();
    if (height_ < 1 || height_ > max_dimension)
        stop(jpeg_bad_height);
    width_ = get_word();
    if (width_ < 1 || width_ > max_dimension)
        stop(jpeg_bad_width);
    const int count = get_byte();
    if (count > 4)
        stop(jpeg_too_many_components);
    if (length != 8 + 3 * count)
        stop(jpeg_bad_sof_length);
    for (int i = 0; i < count; ++i) {
        component &c = comps_[i];
        c.id = get_byte();
        const int hv = get_byte();
        c.h = hv >> 4;
        c.v = hv & 15;
        c.quant = get_byte();
    }
    component_count_ = count;
    bytes_per_pixel_ = count == 1 ? 1 : 4;
}

void jpeg_image_decoder::read_sos()
{
    const int length = get_word();
    const int count = get_byte();
    if (count < 1 || count > 4 || length != 6 + 2 * count)
        stop(jpeg_bad_sos_length);
    for (int i = 0; i < count; ++i) {
        const int id = get_byte();
        const int tables = get_byte();
        int k = 0;
        while (k < component_count_ && comps_[k].id != id)
            ++k;
        if (k == component_count_)
            stop(jpeg_bad_sos_comp_id);
        scan_comp_[i] = k;
        comps_[k].dc_table = tables >> 4;
        comps_[k].ac_table = (tables & 15) + 4;
    }
    scan_count_ = count;
    spectral_start_ = get_byte();
    spectral_end_ = get_byte();
    const int approx = get_byte();
    approx_high_ = approx >> 4;
    approx_low_ = approx & 15;
    if (!progressive_) {
        spectral_start_ = 0;
        spectral_end_ = 63;
        approx_high_ = 0;
        approx_low_ = 0;
    }
}

// Handles table and miscellaneous markers until a scan or the end of the
// image; reads the scan header when it is a scan.
int jpeg_image_decoder::process_markers_until_scan()
{
    int c = pending_marker_ >= 0 ? pending_marker_ : next_marker();
    pending_marker_ = -1;
    bits_ = 0;
    bit_count_ = 0;
    padding_bits_ = 0;
    for (;;) {
        switch (c) {
        case marker_sos:
            read_sos();
            return marker_sos;
        case marker_eoi:
            return marker_eoi;
        case marker_dht:
            read_dht();
            break;
        case marker_dqt:
            read_dqt();
            break;
        case marker_dri:
            read_dri();
            break;
        case marker_dac:
            stop(jpeg_no_arithmetic_support);
        case marker_tem:
        case marker_soi:
            stop(jpeg_unexpected_marker);
        default:
            if (c >= marker_rst0 && c <= marker_rst7)
                break; // a stray restart marker between scans carries nothing
            if (c >= 0xC0 && c <= 0xCF)
                stop(jpeg_unexpected_marker); // a second frame header, JPG
            skip_variable_marker();
            break;
        }
        c = next_marker();
    }
}

// ---------------------------------------------------------------------------
// Module Functions Definition: frame set-up
// ---------------------------------------------------------------------------
int jpeg_image_decoder::start()
{
    if (error_ != 0)
        return -1; // a stopped decoder stays stopped
    if (started_)
        return 0;
    try {
        set_up_frame();
        const int first = process_markers_until_scan();
        if (first == marker_eoi) {
            if (!progressive_)
                stop(jpeg_unexpected_marker);
        } else if (!buffered_) {
            bool streaming = scan_count_ == component_count_;
            for (int i = 0; i < scan_count_; ++i)
                streaming = streaming && scan_comp_[i] == i;
            if (streaming) {
                begin_scan();
            } else {
                buffered_ = true;
            }
        }
        if (buffered_) {
            for (int i = 0; i < component_count_; ++i) {
                component &c = comps_[i];
                const std::size_t bytes =
                    checked_mul(static_cast<std::size_t>(c.blocks_w), static_cast<std::size_t>(c.blocks_h),
                                64 * sizeof(std::int16_t));
                c.coefficients = static_cast<std::int16_t *>(allocate(bytes));
            }
            if (first == marker_sos)
                decode_all_scans();
        }
    } catch (const stop_signal &) {
        return -1;
    }
    started_ = true;
    return 0;
}

void jpeg_image_decoder::set_up_frame()
{
    if (component_count_ == 1) {
        type_ = scan_type::greyscale;
        comps_[0].h = comps_[0].v = 1; // one block per MCU whatever the header says
        max_h_ = max_v_ = 1;
    } else if (component_count_ == 3) {
        const component &y = comps_[0];
        if (comps_[1].h != 1 || comps_[1].v != 1 || comps_[2].h != 1 || comps_[2].v != 1)
            stop(jpeg_unsupported_sampling);
        if (y.h == 1 && y.v == 1)
            type_ = scan_type::h1v1;
        else if (y.h == 2 && y.v == 1)
            type_ = scan_type::h2v1;
        else if (y.h == 1 && y.v == 2)
            type_ = scan_type::h1v2;
        else if (y.h == 2 && y.v == 2)
            type_ = scan_type::h2v2;
        else
            stop(jpeg_unsupported_sampling);
        max_h_ = y.h;
        max_v_ = y.v;
    } else {
        stop(jpeg_unsupported_colourspace);
    }
    mcu_w_ = 8 * max_h_;
    mcu_h_ = 8 * max_v_;
    mcus_x_ = ceil_div(width_, mcu_w_);
    mcus_y_ = ceil_div(height_, mcu_h_);
    int blocks_per_mcu = 0;
    for (int i = 0; i < component_count_; ++i)
        blocks_per_mcu += comps_[i].h * comps_[i].v;
    if (blocks_per_mcu * mcus_x_ > max_blocks_per_mcu_row)
        stop(jpeg_assertion_error);

    for (int i = 0; i < component_count_; ++i) {
        component &c = comps_[i];
        c.blocks_w = mcus_x_ * c.h;
        c.blocks_h = mcus_y_ * c.v;
        c.actual_w = ceil_div(ceil_div(width_ * c.h, max_h_), 8);
        c.actual_h = ceil_div(ceil_div(height_ * c.v, max_v_), 8);
        // Whole groups of 32 samples, so that the vector kernels never read
        // past a row.
        c.plane_stride = round_up32(c.blocks_w * 8);
        c.plane = static_cast<std::uint8_t *>(allocate(
            checked_mul(static_cast<std::size_t>(c.plane_stride), static_cast<std::size_t>(c.v) * 8)));
    }
    line_buf_ = static_cast<std::uint8_t *>(allocate(checked_mul(
        static_cast<std::size_t>(round_up32(width_)), static_cast<std::size_t>(bytes_per_pixel_))));
    block_buf_ = static_cast<std::int16_t *>(allocate(2 * 64 * sizeof(std::int16_t)));
    block_slot_ = 0;
    if (component_count_ == 3) {
        offset_stride_ = round_up32(width_) + 32;
        offsets_ = static_cast<std::int16_t *>(
            allocate(checked_mul(3, static_cast<std::size_t>(offset_stride_), sizeof(std::int16_t))));
    }
    offsets_row_ = -1;
    pending_ = pending_transform{};
    huff_ = static_cast<huffman_table *>(allocate(8 * sizeof(huffman_table)));
    buffered_ = progressive_;
    mcu_row_ = 0;
    line_in_row_ = mcu_h_;
    lines_done_ = 0;
}

// ---------------------------------------------------------------------------
// Module Functions Definition: row output
// ---------------------------------------------------------------------------
// Transforms a block with AC coefficients; clear zeroes it afterwards. The
// AVX2 form holds one block back until a second one comes, and
// flush_transforms() finishes a block left waiting: call it before the
// samples are used.
void jpeg_image_decoder::transform_ac_block(std::int16_t *block, const std::int16_t *quant, std::uint8_t *out,
                                            std::ptrdiff_t stride, bool clear)
{
    if (forms_ != kernels::avx2) {
        if (forms_ == kernels::sse2)
            jpeg_kernels::idct_sse2(block, quant, out, stride);
        else
            jpeg_kernels::idct_scalar(block, quant, out, stride);
        if (clear)
            std::memset(block, 0, 64 * sizeof(std::int16_t));
        return;
    }
    if (pending_.block == nullptr) {
        pending_ = {block, quant, out, stride, clear};
        return;
    }
    jpeg_kernels::idct_avx2_pair(pending_.block, pending_.quant, pending_.out, pending_.stride, block, quant,
                                 out, stride);
    if (pending_.clear)
        std::memset(pending_.block, 0, 64 * sizeof(std::int16_t));
    if (clear)
        std::memset(block, 0, 64 * sizeof(std::int16_t));
    pending_ = pending_transform{};
}

void jpeg_image_decoder::flush_transforms()
{
    if (pending_.block == nullptr)
        return;
    jpeg_kernels::idct_sse2(pending_.block, pending_.quant, pending_.out, pending_.stride);
    if (pending_.clear)
        std::memset(pending_.block, 0, 64 * sizeof(std::int16_t));
    pending_ = pending_transform{};
}

void jpeg_image_decoder::transform_mcu_row_buffered()
{
    for (int i = 0; i < component_count_; ++i) {
        const component &c = comps_[i];
        for (int v = 0; v < c.v; ++v) {
            const std::size_t row = static_cast<std::size_t>(mcu_row_) * c.v + v;
            std::int16_t *block = c.coefficients + row * c.blocks_w * 64;
            std::uint8_t *out = c.plane + static_cast<std::size_t>(v) * 8 * c.plane_stride;
            const std::int16_t *q = quant_[c.quant & 3];
            for (int bx = 0; bx < c.blocks_w; ++bx, block += 64, out += 8) {
                if (!jpeg_kernels::has_ac(block)) {
                    jpeg_kernels::idct_dc_only(block[0], q[0], out, c.plane_stride);
                } else if (!progressive_) {
                    transform_ac_block(block, q, out, c.plane_stride, false);
                } else {
                    // Zig-zag order: into natural order in a block of its own
                    // (every coefficient written, so none needs clearing).
                    std::int16_t *natural = block_buf_ + 64 * block_slot_;
                    jpeg_kernels::natural_from_zigzag_block(static_cast<jpeg_kernels::simd_level>(forms_),
                                                            block, natural);
                    transform_ac_block(natural, q, out, c.plane_stride, false);
                    if (pending_.block == natural)
                        block_slot_ ^= 1; // it waits for a partner
                }
            }
        }
    }
    flush_transforms();
}

void jpeg_image_decoder::produce_line(int line_in_row)
{
    const component &y = comps_[0];
    const component &cb = comps_[1];
    const component &cr = comps_[2];
    const int chroma_row = max_v_ == 2 ? line_in_row >> 1 : line_in_row;
    const int shift = max_h_ == 2 ? 1 : 0;
    const std::uint8_t *yp = y.plane + static_cast<std::size_t>(line_in_row) * y.plane_stride;
    static_assert(static_cast<int>(kernels::avx2) == static_cast<int>(jpeg_kernels::simd_level::avx2) &&
                  static_cast<int>(kernels::sse2) == static_cast<int>(jpeg_kernels::simd_level::sse2));
    const auto level = static_cast<jpeg_kernels::simd_level>(forms_);
    std::int16_t *r = offsets_;
    std::int16_t *g = offsets_ + offset_stride_;
    std::int16_t *b = offsets_ + 2 * offset_stride_;
    if (chroma_row != offsets_row_) {
        // Once per chroma row: in 4:2:0 the next luma row uses it again.
        const std::uint8_t *bp = cb.plane + static_cast<std::size_t>(chroma_row) * cb.plane_stride;
        const std::uint8_t *rp = cr.plane + static_cast<std::size_t>(chroma_row) * cr.plane_stride;
        jpeg_kernels::chroma_offsets(level, bp, rp, round_up32(ceil_div(width_, 1 << shift)), r, g, b);
        offsets_row_ = chroma_row;
    }
    jpeg_kernels::colour_from_offsets(level, yp, r, g, b, shift, width_, line_buf_);
}

int jpeg_image_decoder::next_line(const std::uint8_t *&line, int &byte_count)
{
    if (error_ != 0 || !started_)
        return -1;
    if (lines_done_ >= height_)
        return 1;
    if (line_in_row_ >= mcu_h_) {
        try {
            if (buffered_)
                transform_mcu_row_buffered();
            else
                decode_mcu_row_streaming();
            offsets_row_ = -1; // the planes hold a new row
        } catch (const stop_signal &) {
            return jpeg_decode_error;
        }
        ++mcu_row_;
        line_in_row_ = 0;
    }
    if (type_ == scan_type::greyscale) {
        line = comps_[0].plane + static_cast<std::size_t>(line_in_row_) * comps_[0].plane_stride;
    } else {
        produce_line(line_in_row_);
        line = line_buf_;
    }
    byte_count = width_ * bytes_per_pixel_;
    ++line_in_row_;
    ++lines_done_;
    return 0;
}
