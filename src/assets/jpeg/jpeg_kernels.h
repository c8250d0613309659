// Pixel kernels of the JPEG decoder: quantisation prescaling, the scaled
// integer inverse DCT and the YCbCr to RGB conversion of one line.
//
// Each kernel has a portable scalar form and an SSE2 form (eight 16-bit
// lanes) that give bit-identical results: the scalar inverse DCT performs
// the same wrapping 16-bit additions, 16x16->high-16 multiplications and
// arithmetic shifts, in the same order, as the vector one.
//
// Depends on: nothing but <cstdint> (and <emmintrin.h> inside the .cpp
// where the compiler targets SSE2). Internal to src/assets/jpeg.
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

// True when the SSE2 forms were compiled in.
bool have_sse2();

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

// The same result for a block whose AC coefficients are all zero.
void idct_dc_only(std::int16_t dc, std::int16_t prescaled_quant0, std::uint8_t *out, std::ptrdiff_t stride);

// YCbCr (JFIF, full range) to 4-byte RGBX for count pixels. Chroma sample
// x >> chroma_shift serves pixel x (replication, chroma_shift 0 or 1). The
// fourth byte of each pixel is written as 0.
void colour_line_scalar(const std::uint8_t *y, const std::uint8_t *cb, const std::uint8_t *cr,
                        int chroma_shift, int count, std::uint8_t *rgbx);
// As colour_line_scalar, but works in groups of 16 pixels: reads up to
// round_up(count, 16) luma and (round_up(count, 16) >> chroma_shift) chroma
// bytes and writes round_up(count, 16) pixels. Callers pad their buffers.
void colour_line_sse2(const std::uint8_t *y, const std::uint8_t *cb, const std::uint8_t *cr, int chroma_shift,
                      int count, std::uint8_t *rgbx);

} // namespace jpeg_kernels
