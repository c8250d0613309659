// Pixel kernels of the JPEG decoder: quantisation prescaling, the scaled
// integer inverse DCT and the YCbCr to RGB conversion of one line.
//
// Each kernel has a portable scalar form, an SSE2 form (eight 16-bit lanes)
// and, on x86-64, an AVX2 form (sixteen) chosen at run time; all give
// bit-identical results: the scalar inverse DCT performs the same wrapping
// 16-bit additions, 16x16->high-16 multiplications and arithmetic shifts,
// in the same order, as the vector ones.
//
// Depends on: nothing but <cstdint> (and the x86 intrinsics headers inside
// the .cpp files). Internal to src/assets/jpeg.
#pragma once

#include <cstddef>
#include <cstdint>

namespace jpeg_kernels
{

// Natural (row-major) position of each zig-zag index.
inline constexpr int natural_from_zigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Whether any of positions 1..63 of a block (the AC coefficients, in
// natural or zig-zag order alike) is non-zero.
bool has_ac(const std::int16_t block[64]);

// The instruction sets the kernels come in. Every form gives the same bytes.
enum class simd_level { scalar, sse2, avx2 };

// The best form this processor runs, decided once: AVX2 where the processor
// has it (and the AVX2 file was compiled for it, on x86-64), else SSE2 where
// the compiler targets it, else scalar.
simd_level best_simd_level();
// `wanted` lowered to what this processor runs.
simd_level usable_simd_level(simd_level wanted);

// Stores a quantisation table given in zig-zag order (values 0..65535) at
// natural (row-major) positions, each multiplied by its inverse-DCT scale
// factor: (q * s + 2048) >> 12 with s = round(16384 * f(row) * f(col)),
// f(0) = 1, f(k) = sqrt(2) * cos(k * pi / 16). Saturates at 32767 (only
// 16-bit tables can get there).
void prescale_quant(const std::uint16_t zigzag_values[64], std::int16_t natural_out[64]);

// The scale factor s of natural position 0..63 (exposed for tests).
int aan_scale(int position);

// Inverse DCT of one 8x8 block: coefficients in natural order, multiplied by
// the prescaled table (16-bit, wrapping), transformed, shifted right by 5,
// level-shifted by +128 and saturated to 0..255; written as 8 rows of 8
// bytes, stride bytes apart.
void idct_scalar(const std::int16_t coefficients[64], const std::int16_t prescaled_quant[64],
                 std::uint8_t *out, std::ptrdiff_t stride);
void idct_sse2(const std::int16_t coefficients[64], const std::int16_t prescaled_quant[64], std::uint8_t *out,
               std::ptrdiff_t stride);
// Two blocks at once, one in each half of the 256-bit registers; each block
// has its own table and output. Runs only where best_simd_level() is avx2.
void idct_avx2_pair(const std::int16_t *coefficients_a, const std::int16_t *quant_a, std::uint8_t *out_a,
                    std::ptrdiff_t stride_a, const std::int16_t *coefficients_b, const std::int16_t *quant_b,
                    std::uint8_t *out_b, std::ptrdiff_t stride_b);

// The same result for a block whose AC coefficients are all zero.
void idct_dc_only(std::int16_t dc, std::int16_t prescaled_quant0, std::uint8_t *out, std::ptrdiff_t stride);

// YCbCr (JFIF, full range) to RGB in two steps. The chroma part of each
// colour does not depend on luma, so it is worked out once per chroma sample
// (once for the two rows and two columns of pixels that share a sample in
// 4:2:0) and then added to each luma sample:
//   R = Y + r, G = Y + g, B = Y + b, each saturated to 0..255, with
//   r = round(1.402 (Cr - 128)), b = round(1.772 (Cb - 128)) and
//   g = floor((-0.71414 (Cr - 128) - 0.34414 (Cb - 128)) + 0.5) in 16.16.
//
// chroma_offsets: r, g, b of count chroma samples. The vector forms work in
// groups of 16: they read round_up(count, 16) bytes of cb and cr and write
// as many offsets.
void chroma_offsets(simd_level level, const std::uint8_t *cb, const std::uint8_t *cr, int count,
                    std::int16_t *r, std::int16_t *g, std::int16_t *b);
// colour_from_offsets: count pixels of 4-byte RGBX (the fourth byte 0);
// offset x >> chroma_shift serves pixel x (replication, chroma_shift 0 or
// 1). The vector forms work in groups of 32 pixels: they read
// round_up(count, 32) luma bytes and round_up(count, 32) >> chroma_shift
// offsets and write round_up(count, 32) pixels. Callers pad their buffers.
void colour_from_offsets(simd_level level, const std::uint8_t *y, const std::int16_t *r,
                         const std::int16_t *g, const std::int16_t *b, int chroma_shift, int count,
                         std::uint8_t *rgbx);

// A block in zig-zag order copied into natural order (all 64 written).
void natural_from_zigzag_block(simd_level level, const std::int16_t zigzag[64], std::int16_t natural[64]);

// The AVX2 forms, compiled for AVX2 in their own file; callers go through
// the functions above, which pick them only where the processor has AVX2.
void chroma_offsets_avx2(const std::uint8_t *cb, const std::uint8_t *cr, int count, std::int16_t *r,
                         std::int16_t *g, std::int16_t *b);
void colour_from_offsets_avx2(const std::uint8_t *y, const std::int16_t *r, const std::int16_t *g,
                              const std::int16_t *b, int chroma_shift, int count, std::uint8_t *rgbx);
void natural_from_zigzag_block_avx2(const std::int16_t zigzag[64], std::int16_t natural[64]);

} // namespace jpeg_kernels
