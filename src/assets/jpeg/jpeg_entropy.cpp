// jpeg_image_decoder: entropy-coded data. Bit reader, Huffman lookup
// tables, restart markers, the sequential block decoder and the four
// progressive block decoders (DC first, DC refinement, AC first, AC
// refinement), and the scan loops that drive them.
//
// The bit reader keeps up to 64 bits MSB-aligned. A marker inside the data
// supplies no bits: from there on it feeds zeros (counted, so that a
// progressive scan can tell that its data ran out) and remembers the marker
// for the restart or scan logic that comes next.
//
// Depends on: jpeg_image_decoder.h, jpeg_kernels.h (zig-zag order, IDCT).
#include "assets/jpeg/jpeg_image_decoder.h"

#include "assets/jpeg/jpeg_kernels.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{

using jpeg_kernels::natural_from_zigzag;

constexpr int fast_bits = jpeg_image_decoder::huffman_fast_bits;
constexpr int restart_search_limit = 1536;

inline std::uint64_t byte_swap(std::uint64_t v)
{
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_bswap64(v);
#else
    std::uint64_t r = 0;
    for (int i = 0; i < 8; ++i, v >>= 8)
        r = (r << 8) | (v & 0xFF);
    return r;
#endif
}

inline int extend(int v, int n)
{
    return v < (1 << (n - 1)) ? v - (1 << n) + 1 : v;
}

} // namespace

// ---------------------------------------------------------------------------
// Module Functions Definition: Huffman tables
// ---------------------------------------------------------------------------
void jpeg_image_decoder::build_huffman(int index)
{
    huffman_table &t = huff_[index];
    const std::uint8_t *counts = huff_counts_[index];
    std::memset(t.fast, 0, sizeof t.fast);
    std::memset(t.fast_ac, 0, sizeof t.fast_ac);
    std::memcpy(t.values, huff_values_[index], sizeof t.values);
    int code = 0;
    int k = 0;
    for (int length = 1; length <= 16; ++length) {
        t.value_offset[length] = k - code;
        for (int i = 0; i < counts[length]; ++i, ++code, ++k) {
            // A table that claims more codes than fit is corrupt: its extra
            // codes never match, and nothing is written out of range.
            if (length <= fast_bits && code < (1 << length)) {
                const int shift = fast_bits - length;
                for (int j = 0; j < (1 << shift); ++j)
                    t.fast[(code << shift) + j] = static_cast<std::uint16_t>((length << 8) | t.values[k]);
            }
        }
        t.max_code[length] = counts[length] != 0 ? code - 1 : -1;
        code <<= 1;
    }
    t.max_code[17] = 0x7FFFFFFF;
    // Short codes with their value bits in one lookup: for AC the run, size
    // and extended value; for DC the extended difference (run 0).
    const bool dc = index < 4;
    for (int i = 0; i < (1 << fast_bits); ++i) {
        const int f = t.fast[i];
        if (f == 0)
            continue;
        const int length = f >> 8;
        const int run = dc ? 0 : (f >> 4) & 15;
        const int size = dc ? f & 255 : f & 15;
        if ((size == 0 && !dc) || size > 15 || length + size > fast_bits)
            continue;
        if (size == 0) {
            t.fast_ac[i] = length;
            continue;
        }
        const int raw = (i >> (fast_bits - length - size)) & ((1 << size) - 1);
        t.fast_ac[i] = extend(raw, size) * 65536 + (run << 8) + (length + size);
    }
}

// ---------------------------------------------------------------------------
// Module Functions Definition: bit reader
// ---------------------------------------------------------------------------
// Fast path, inlined into the block loops: the next 8 input bytes hold no
// 0xFF, so as many whole bytes as fit go into the bit buffer at once.
inline void jpeg_image_decoder::fill_bits()
{
    if (pending_marker_ < 0 && in_end_ - in_pos_ >= 8 && bit_count_ <= 56) {
        const std::uint8_t *p = in_buf_ + in_pos_;
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if constexpr (std::endian::native == std::endian::little)
            word = byte_swap(word);
        const std::uint64_t inverted = ~word;
        const bool has_ff = ((inverted - 0x0101010101010101ull) & ~inverted & 0x8080808080808080ull) != 0;
        if (!has_ff) {
            const int count = (64 - bit_count_) >> 3; // whole bytes that fit
            std::uint64_t add = word >> bit_count_;
            const int new_count = bit_count_ + 8 * count;
            if (new_count < 64)
                add &= ~((std::uint64_t{1} << (64 - new_count)) - 1);
            bits_ |= add;
            bit_count_ = new_count;
            in_pos_ += count;
            return;
        }
    }
    fill_bits_slow();
}

// Byte by byte: stuffed zeros, fill bytes, markers, buffer refills.
void jpeg_image_decoder::fill_bits_slow()
{
    while (bit_count_ <= 56) {
        int b = 0;
        if (pending_marker_ < 0) {
            b = get_byte();
            if (b == 0xFF) {
                int c = get_byte();
                while (c == 0xFF)
                    c = get_byte();
                if (c != 0) {
                    pending_marker_ = c;
                    b = 0;
                }
            }
        }
        if (pending_marker_ >= 0)
            padding_bits_ += 8;
        bits_ |= static_cast<std::uint64_t>(b) << (56 - bit_count_);
        bit_count_ += 8;
    }
}

int jpeg_image_decoder::decode_huffman(const huffman_table &t)
{
    if (bit_count_ < 16)
        fill_bits();
    const int f = t.fast[bits_ >> (64 - fast_bits)];
    if (f != 0) {
        const int length = f >> 8;
        bits_ <<= length;
        bit_count_ -= length;
        return f & 255;
    }
    for (int length = fast_bits + 1; length <= 16; ++length) {
        const int code = static_cast<int>(bits_ >> (64 - length));
        if (code <= t.max_code[length]) {
            const int index = t.value_offset[length] + code;
            if (index < 0 || index > 255)
                break;
            bits_ <<= length;
            bit_count_ -= length;
            return t.values[index];
        }
    }
    stop(jpeg_decode_error); // no code of this table starts here
}

int jpeg_image_decoder::receive(int n)
{
    if (n == 0)
        return 0;
    if (bit_count_ < n)
        fill_bits();
    const int v = static_cast<int>(bits_ >> (64 - n));
    bits_ <<= n;
    bit_count_ -= n;
    return v;
}

int jpeg_image_decoder::receive_extend(int n)
{
    if (n == 0)
        return 0;
    return extend(receive(n), n);
}

int jpeg_image_decoder::get_bit()
{
    if (bit_count_ < 1)
        fill_bits();
    const int v = static_cast<int>(bits_ >> 63);
    bits_ <<= 1;
    bit_count_ -= 1;
    return v;
}

// ---------------------------------------------------------------------------
// Module Functions Definition: scans and restarts
// ---------------------------------------------------------------------------
void jpeg_image_decoder::begin_scan()
{
    bool built[8] = {};
    for (int i = 0; i < scan_count_; ++i) {
        component &c = comps_[scan_comp_[i]];
        if (c.quant > 3 || !quant_defined_[c.quant])
            stop(jpeg_undefined_quant_table);
        if (spectral_start_ == 0) {
            if (c.dc_table > 3 || !huff_defined_[c.dc_table])
                stop(jpeg_undefined_huff_table);
            if (!built[c.dc_table])
                build_huffman(c.dc_table);
            built[c.dc_table] = true;
        }
        if (spectral_end_ > 0) {
            if (c.ac_table > 7 || !huff_defined_[c.ac_table])
                stop(jpeg_undefined_huff_table);
            if (!built[c.ac_table])
                build_huffman(c.ac_table);
            built[c.ac_table] = true;
        }
        c.dc_pred = 0;
    }
    eob_run_ = 0;
    bits_ = 0;
    bit_count_ = 0;
    padding_bits_ = 0;
    pending_marker_ = -1;
    restarts_left_ = restart_interval_;
    next_restart_ = 0;
}

void jpeg_image_decoder::handle_restart()
{
    bits_ = 0;
    bit_count_ = 0;
    padding_bits_ = 0;
    int marker = pending_marker_;
    pending_marker_ = -1;
    int examined = 0;
    while (marker < 0) {
        if (++examined > restart_search_limit)
            stop(jpeg_bad_restart_marker);
        if (get_byte() != 0xFF)
            continue;
        int c;
        do {
            if (++examined > restart_search_limit)
                stop(jpeg_bad_restart_marker);
            c = get_byte();
        } while (c == 0xFF);
        if (c != 0)
            marker = c;
    }
    if (marker != 0xD0 + next_restart_)
        stop(jpeg_bad_restart_marker);
    next_restart_ = (next_restart_ + 1) & 7;
    for (component &c : comps_)
        c.dc_pred = 0;
    eob_run_ = 0;
    restarts_left_ = restart_interval_;
}

// ---------------------------------------------------------------------------
// Module Functions Definition: block decoders
// ---------------------------------------------------------------------------
int jpeg_image_decoder::decode_dc_difference(const huffman_table &dc)
{
    if (bit_count_ < 32)
        fill_bits();
    const int e = dc.fast_ac[bits_ >> (64 - fast_bits)];
    if (e != 0) {
        const int length = e & 255;
        bits_ <<= length;
        bit_count_ -= length;
        return e >> 16;
    }
    const int s = decode_huffman(dc);
    if (s > 15)
        stop(jpeg_decode_error);
    return receive_extend(s);
}

// Decodes one sequential block into a zeroed block (natural order); returns
// whether any AC coefficient was set.
bool jpeg_image_decoder::decode_block_sequential(std::int16_t *block, component &c)
{
    const huffman_table &ac = huff_[c.ac_table];
    c.dc_pred = static_cast<std::int16_t>(c.dc_pred + decode_dc_difference(huff_[c.dc_table]));
    block[0] = c.dc_pred;
    bool ac_present = false;
    // The bit buffer lives in registers for the hot loop; it goes back to
    // the members around the calls that use them.
    std::uint64_t bits = bits_;
    int count = bit_count_;
    for (int k = 1; k < 64;) {
        if (count < 32) {
            bit_count_ = count;
            bits_ = bits;
            fill_bits();
            bits = bits_;
            count = bit_count_;
        }
        const int e = ac.fast_ac[bits >> (64 - fast_bits)];
        if (e != 0) {
            const int length = e & 255;
            bits <<= length;
            count -= length;
            k += (e >> 8) & 15;
            if (k > 63)
                stop(jpeg_decode_error);
            block[natural_from_zigzag[k]] = static_cast<std::int16_t>(e >> 16);
            ac_present = true;
            ++k;
            continue;
        }
        bits_ = bits;
        bit_count_ = count;
        const int rs = decode_huffman(ac);
        const int run = rs >> 4;
        const int size = rs & 15;
        if (size == 0) {
            bits = bits_;
            count = bit_count_;
            if (run != 15)
                break; // end of block
            k += 16;
            if (k > 64)
                stop(jpeg_decode_error);
            continue;
        }
        k += run;
        if (k > 63)
            stop(jpeg_decode_error);
        block[natural_from_zigzag[k]] = static_cast<std::int16_t>(receive_extend(size));
        bits = bits_;
        count = bit_count_;
        ac_present = true;
        ++k;
    }
    bits_ = bits;
    bit_count_ = count;
    return ac_present;
}

void jpeg_image_decoder::decode_block_dc_first(std::int16_t *block, component &c)
{
    c.dc_pred = static_cast<std::int16_t>(c.dc_pred + decode_dc_difference(huff_[c.dc_table]));
    block[0] = static_cast<std::int16_t>(c.dc_pred * (1 << approx_low_));
}

void jpeg_image_decoder::decode_block_dc_refine(std::int16_t *block)
{
    if (get_bit() != 0)
        block[0] = static_cast<std::int16_t>(block[0] | (1 << approx_low_));
}

void jpeg_image_decoder::decode_block_ac_first(std::int16_t *block, component &c)
{
    if (eob_run_ > 0) {
        --eob_run_;
        return;
    }
    const huffman_table &ac = huff_[c.ac_table];
    for (int k = spectral_start_; k <= spectral_end_;) {
        if (bit_count_ < 32)
            fill_bits();
        const int e = ac.fast_ac[bits_ >> (64 - fast_bits)];
        if (e != 0) {
            const int length = e & 255;
            bits_ <<= length;
            bit_count_ -= length;
            k += (e >> 8) & 15;
            if (k > 63)
                stop(jpeg_decode_error);
            block[k] = static_cast<std::int16_t>((e >> 16) * (1 << approx_low_));
            ++k;
            continue;
        }
        const int rs = decode_huffman(ac);
        const int run = rs >> 4;
        const int size = rs & 15;
        if (size == 0) {
            if (run < 15) {
                eob_run_ = (1 << run) - 1;
                if (run != 0)
                    eob_run_ += receive(run);
                break;
            }
            k += 16;
            if (k > 64)
                stop(jpeg_decode_error);
            continue;
        }
        k += run;
        if (k > 63)
            stop(jpeg_decode_error);
        block[k] = static_cast<std::int16_t>(receive_extend(size) * (1 << approx_low_));
        ++k;
    }
}

namespace
{
// Bit k set where block[k] is not zero.
std::uint64_t nonzero_mask(const std::int16_t *block)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    std::uint64_t zeros = 0;
    for (int i = 0; i < 64; i += 16) {
        const __m128i a =
            _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block + i)), zero);
        const __m128i b =
            _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block + i + 8)), zero);
        zeros |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(a, b))))
                 << i;
    }
    return ~zeros;
#else
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= static_cast<std::uint64_t>(block[i] != 0) << i;
    return mask;
#endif
}
} // namespace

// Progressive blocks keep their coefficients in zig-zag order (a band is
// then contiguous); transform_mcu_row_buffered() puts them in natural order.
void jpeg_image_decoder::decode_block_ac_refine(std::int16_t *block, component &c)
{
    const int p1 = 1 << approx_low_;
    const int m1 = -p1;
    const huffman_table &ac = huff_[c.ac_table];
    // Correction bits come one at a time: keep the bit buffer in registers
    // and hand it back to the members around the calls that use them.
    std::uint64_t bits = bits_;
    int count = bit_count_;
    auto save = [&] {
        bits_ = bits;
        bit_count_ = count;
    };
    auto load = [&] {
        bits = bits_;
        count = bit_count_;
    };
    auto next_bit = [&] {
        if (count < 1) {
            save();
            fill_bits();
            load();
        }
        const int v = static_cast<int>(bits >> 63);
        bits <<= 1;
        --count;
        return v;
    };
    // Adds the next correction bit to an already non-zero coefficient.
    // Without branches: the bits are as good as random.
    const int shift = approx_low_;
    auto refine = [&](std::int16_t &coef) {
        const int bit = next_bit();
        const int value = coef;
        const int step = ((value & p1) == 0 ? bit : 0) << shift;
        const int sign = value >> 31; // 0 or -1
        coef = static_cast<std::int16_t>(value + ((step ^ sign) - sign));
    };
    // Non-zero coefficients of the block (bit k for block[k]): the walks
    // below visit just those.
    std::uint64_t nonzero = nonzero_mask(block);
    const std::uint64_t band_end = ~std::uint64_t{0} >> (63 - spectral_end_);
    auto refine_below = [&](std::uint64_t set) { // refines the set, lowest first
        while (set != 0) {
            refine(block[std::countr_zero(set)]);
            set &= set - 1;
        }
    };
    int k = spectral_start_;
    if (eob_run_ == 0) {
        for (; k <= spectral_end_; ++k) {
            // The lookahead table inline; longer codes the general way.
            if (count < 16) {
                save();
                fill_bits();
                load();
            }
            int rs = ac.fast[bits >> (64 - fast_bits)];
            if (rs != 0) {
                bits <<= rs >> 8;
                count -= rs >> 8;
                rs &= 255;
            } else {
                save();
                rs = decode_huffman(ac);
                load();
            }
            int run = rs >> 4;
            const int size = rs & 15;
            int value = 0;
            if (size != 0) {
                value = next_bit() != 0 ? p1 : m1; // size is 1 in a valid stream
            } else if (run != 15) {
                eob_run_ = 1 << run;
                if (run != 0) {
                    save();
                    eob_run_ += receive(run);
                    load();
                }
                break;
            }
            // Skip `run` zero coefficients, refining the non-zero ones met;
            // stop at the next zero one (or past the band).
            const std::uint64_t band = (~std::uint64_t{0} << k) & band_end;
            std::uint64_t zeros = ~nonzero & band;
            for (; run > 0 && zeros != 0; --run)
                zeros &= zeros - 1;
            const int stop_at = zeros != 0 ? std::countr_zero(zeros) : spectral_end_ + 1;
            const std::uint64_t before =
                stop_at >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << stop_at) - 1;
            refine_below(nonzero & band & before);
            k = stop_at;
            if (value != 0) {
                if (k > 63)
                    stop(jpeg_decode_error);
                block[k] = static_cast<std::int16_t>(value);
                nonzero |= std::uint64_t{1} << k;
            }
        }
    }
    if (eob_run_ > 0) {
        // Inside an end-of-band run only the non-zero coefficients take a
        // correction bit: find them all at once and visit just those.
        if (k <= spectral_end_)
            refine_below(nonzero & (~std::uint64_t{0} << k) & band_end);
        --eob_run_;
    }
    save();
}

template <jpeg_image_decoder::block_kind kind>
inline void jpeg_image_decoder::decode_buffered_block(component &c, int bx, int by)
{
    if (bx < 0 || by < 0 || bx >= c.blocks_w || by >= c.blocks_h)
        stop(jpeg_assertion_error);
    std::int16_t *block = c.coefficients + (static_cast<std::size_t>(by) * c.blocks_w + bx) * 64;
    if constexpr (kind == block_kind::sequential) {
        std::memset(block, 0, 64 * sizeof(std::int16_t));
        decode_block_sequential(block, c);
    } else if constexpr (kind == block_kind::dc_first) {
        decode_block_dc_first(block, c);
    } else if constexpr (kind == block_kind::dc_refine) {
        decode_block_dc_refine(block);
    } else if constexpr (kind == block_kind::ac_first) {
        decode_block_ac_first(block, c);
    } else {
        decode_block_ac_refine(block, c);
    }
}

template <jpeg_image_decoder::block_kind kind> void jpeg_image_decoder::decode_scan_blocks()
{
    auto next_mcu = [&] {
        if (restart_interval_ != 0) {
            if (restarts_left_ == 0)
                handle_restart();
            --restarts_left_;
        }
    };
    // A progressive scan whose data has run out (a block took bits past a
    // marker) leaves its remaining blocks up to the next restart as they
    // are, the way libjpeg-turbo does: a truncated file then costs nothing
    // for the part of a large frame it lacks.
    auto data_ran_out = [&] { return kind != block_kind::sequential && bit_count_ < padding_bits_; };
    // Passes over the MCUs left before the next restart: (x, y) moves on in
    // a grid w wide. With no restart interval the scan is over.
    auto pass_over_interval = [&](int &x, int &y, int w) {
        if (restart_interval_ == 0)
            return false;
        const long next = static_cast<long>(y) * w + x + 1 + restarts_left_;
        restarts_left_ = 0;
        y = static_cast<int>(next / w);
        x = static_cast<int>(next % w);
        return true;
    };
    if (scan_count_ == 1) {
        // Non-interleaved: one block per MCU, only blocks holding samples.
        component &c = comps_[scan_comp_[0]];
        for (int bx = 0, by = 0; by < c.actual_h;) {
            next_mcu();
            if (data_ran_out()) {
                if (!pass_over_interval(bx, by, c.actual_w))
                    return;
                continue;
            }
            decode_buffered_block<kind>(c, bx, by);
            if (++bx == c.actual_w) {
                bx = 0;
                ++by;
            }
        }
        return;
    }
    for (int mx = 0, my = 0; my < mcus_y_;) {
        next_mcu();
        if (data_ran_out()) {
            if (!pass_over_interval(mx, my, mcus_x_))
                return;
            continue;
        }
        for (int n = 0; n < scan_count_; ++n) {
            component &c = comps_[scan_comp_[n]];
            for (int v = 0; v < c.v; ++v)
                for (int h = 0; h < c.h; ++h)
                    decode_buffered_block<kind>(c, mx * c.h + h, my * c.v + v);
        }
        if (++mx == mcus_x_) {
            mx = 0;
            ++my;
        }
    }
}

void jpeg_image_decoder::decode_buffered_scan()
{
    if (!progressive_)
        decode_scan_blocks<block_kind::sequential>();
    else if (spectral_start_ == 0 && approx_high_ == 0)
        decode_scan_blocks<block_kind::dc_first>();
    else if (spectral_start_ == 0)
        decode_scan_blocks<block_kind::dc_refine>();
    else if (approx_high_ == 0)
        decode_scan_blocks<block_kind::ac_first>();
    else
        decode_scan_blocks<block_kind::ac_refine>();
}

// Decodes the scan whose header was just read and every scan after it.
void jpeg_image_decoder::decode_all_scans()
{
    for (;;) {
        if (progressive_) {
            if (spectral_end_ < spectral_start_ || spectral_end_ > 63)
                stop(jpeg_bad_sos_spectral);
            if (spectral_start_ == 0 && spectral_end_ != 0)
                stop(jpeg_bad_sos_spectral);
            if (spectral_start_ > 0 && scan_count_ != 1)
                stop(jpeg_bad_sos_spectral);
            if (approx_high_ > 0 && approx_high_ != approx_low_ + 1)
                stop(jpeg_bad_sos_successive);
        }
        begin_scan();
        decode_buffered_scan();
        if (process_markers_until_scan() == 0xD9)
            return;
    }
}

// One MCU row of the single interleaved sequential scan, straight into the
// sample planes.
void jpeg_image_decoder::decode_mcu_row_streaming()
{
    for (int mx = 0; mx < mcus_x_; ++mx) {
        if (restart_interval_ != 0) {
            if (restarts_left_ == 0)
                handle_restart();
            --restarts_left_;
        }
        for (int i = 0; i < component_count_; ++i) {
            component &c = comps_[i];
            for (int v = 0; v < c.v; ++v)
                for (int h = 0; h < c.h; ++h) {
                    std::int16_t *block = block_buf_ + 64 * block_slot_;
                    const bool ac = decode_block_sequential(block, c);
                    std::uint8_t *out = c.plane + static_cast<std::size_t>(v) * 8 * c.plane_stride +
                                        static_cast<std::size_t>(mx * c.h + h) * 8;
                    const std::int16_t *q = quant_[c.quant & 3];
                    if (!ac) {
                        jpeg_kernels::idct_dc_only(block[0], q[0], out, c.plane_stride);
                        block[0] = 0; // nothing else was set
                        continue;
                    }
                    transform_ac_block(block, q, out, c.plane_stride, true);
                    if (pending_.block == block)
                        block_slot_ ^= 1; // it waits for a partner: decode into the other
                }
        }
    }
    flush_transforms();
}
