// The AVX2 forms of the JPEG decoder's pixel kernels: the inverse DCT of two
// blocks at once (one in each 128-bit half) and the two colour steps on 16
// or 32 samples at a time. This file alone is compiled for AVX2 (on x86-64);
// the decoder calls into it only where the processor has AVX2, so one binary
// runs everywhere. Elsewhere the functions fall back to the portable forms.
//
// Only intrinsics and this file's own functions may be used here: an inline
// function from a shared header compiled for AVX2 could be picked by the
// linker for code that runs without it.
//
// Depends on: jpeg_kernels.h, jpeg_idct_pass.h, <immintrin.h>.
#include "assets/jpeg/jpeg_kernels.h"

#include "assets/jpeg/jpeg_idct_pass.h"

#include <utility>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace jpeg_kernels
{

#if defined(__AVX2__)
namespace
{

struct wide_lane {
    __m256i v;
};
inline wide_lane operator+(wide_lane a, wide_lane b)
{
    return {_mm256_add_epi16(a.v, b.v)};
}
inline wide_lane operator-(wide_lane a, wide_lane b)
{
    return {_mm256_sub_epi16(a.v, b.v)};
}
inline wide_lane mul_fix(wide_lane a, std::int16_t c)
{
    return {_mm256_mulhi_epi16(_mm256_slli_epi16(a.v, 2), _mm256_set1_epi16(c))};
}

// Transposes the 8x8 block held in each 128-bit half of r[0..7].
inline void transpose8_pair(wide_lane *r)
{
    const __m256i a0 = _mm256_unpacklo_epi16(r[0].v, r[1].v);
    const __m256i a1 = _mm256_unpackhi_epi16(r[0].v, r[1].v);
    const __m256i a2 = _mm256_unpacklo_epi16(r[2].v, r[3].v);
    const __m256i a3 = _mm256_unpackhi_epi16(r[2].v, r[3].v);
    const __m256i a4 = _mm256_unpacklo_epi16(r[4].v, r[5].v);
    const __m256i a5 = _mm256_unpackhi_epi16(r[4].v, r[5].v);
    const __m256i a6 = _mm256_unpacklo_epi16(r[6].v, r[7].v);
    const __m256i a7 = _mm256_unpackhi_epi16(r[6].v, r[7].v);
    const __m256i b0 = _mm256_unpacklo_epi32(a0, a2);
    const __m256i b1 = _mm256_unpackhi_epi32(a0, a2);
    const __m256i b2 = _mm256_unpacklo_epi32(a1, a3);
    const __m256i b3 = _mm256_unpackhi_epi32(a1, a3);
    const __m256i b4 = _mm256_unpacklo_epi32(a4, a6);
    const __m256i b5 = _mm256_unpackhi_epi32(a4, a6);
    const __m256i b6 = _mm256_unpacklo_epi32(a5, a7);
    const __m256i b7 = _mm256_unpackhi_epi32(a5, a7);
    r[0].v = _mm256_unpacklo_epi64(b0, b4);
    r[1].v = _mm256_unpackhi_epi64(b0, b4);
    r[2].v = _mm256_unpacklo_epi64(b1, b5);
    r[3].v = _mm256_unpackhi_epi64(b1, b5);
    r[4].v = _mm256_unpacklo_epi64(b2, b6);
    r[5].v = _mm256_unpackhi_epi64(b2, b6);
    r[6].v = _mm256_unpacklo_epi64(b3, b7);
    r[7].v = _mm256_unpackhi_epi64(b3, b7);
}

inline __m256i load_pair(const std::int16_t *a, const std::int16_t *b)
{
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a))),
        _mm_loadu_si128(reinterpret_cast<const __m128i *>(b)), 1);
}

// The chroma offsets of 16 samples, centred chroma as 16-bit lanes; the same
// operations as the SSE2 form, lane by lane.
inline void offsets16(__m256i kb, __m256i kr, __m256i &r, __m256i &g, __m256i &b)
{
    const __m256i two = _mm256_set1_epi16(2);
    const __m256i c_r = _mm256_set1_epi32((16384 << 16) | 26346);
    const __m256i c_g = _mm256_set1_epi32(static_cast<int>((static_cast<unsigned>(-22554) << 16) | 18734u));
    const __m256i c_b =
        _mm256_set1_epi32(static_cast<int>((16384u << 16) | static_cast<std::uint16_t>(-14942)));
    const __m256i half = _mm256_set1_epi32(32768);

    __m256i lo = _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(kr, two), c_r), 16);
    __m256i hi = _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(kr, two), c_r), 16);
    r = _mm256_add_epi16(_mm256_packs_epi32(lo, hi), kr);

    lo = _mm256_srai_epi32(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(kr, kb), c_g), half), 16);
    hi = _mm256_srai_epi32(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(kr, kb), c_g), half), 16);
    g = _mm256_sub_epi16(_mm256_packs_epi32(lo, hi), kr);

    lo = _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(kb, two), c_b), 16);
    hi = _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(kb, two), c_b), 16);
    b = _mm256_add_epi16(_mm256_packs_epi32(lo, hi), _mm256_add_epi16(kb, kb));
}

// Offsets for pixels x .. x + 15 (first) or x + 16 .. x + 31 (second), in
// pixel order.
inline void offsets_for(const std::int16_t *o, int x, int chroma_shift, __m256i &first, __m256i &second)
{
    if (chroma_shift == 0) {
        first = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(o + x));
        second = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(o + x + 16));
        return;
    }
    // Samples s0..s15 serve pixels 0..31; reorder the quarters so that the
    // in-lane unpacks double them in pixel order.
    const __m256i v =
        _mm256_permute4x64_epi64(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(o + (x >> 1))), 0xD8);
    first = _mm256_unpacklo_epi16(v, v);
    second = _mm256_unpackhi_epi16(v, v);
}

// Zig-zag to natural order with byte shuffles: natural row r gathers its
// eight coefficients from the few zig-zag rows that hold them, one shuffle
// each (a zero mask byte leaves a zero) combined with OR.
struct zigzag_shuffles {
    alignas(16) std::int8_t mask[8][8][16]; // [natural row][zig-zag row]
    bool used[8][8];
};
constexpr zigzag_shuffles make_zigzag_shuffles()
{
    zigzag_shuffles t{};
    for (auto &row : t.mask)
        for (auto &source : row)
            for (std::int8_t &byte : source)
                byte = -128;
    for (int z = 0; z < 64; ++z) {
        const int n = natural_from_zigzag[z];
        const int row = n / 8, lane = n % 8, source = z / 8, from = z % 8;
        t.mask[row][source][2 * lane] = static_cast<std::int8_t>(2 * from);
        t.mask[row][source][2 * lane + 1] = static_cast<std::int8_t>(2 * from + 1);
        t.used[row][source] = true;
    }
    return t;
}
constexpr zigzag_shuffles zigzag = make_zigzag_shuffles();

template <int row, int source> inline __m128i gather(const __m128i *z, __m128i into)
{
    if constexpr (zigzag.used[row][source]) {
        const __m128i mask = _mm_load_si128(reinterpret_cast<const __m128i *>(zigzag.mask[row][source]));
        return _mm_or_si128(into, _mm_shuffle_epi8(z[source], mask));
    } else {
        return into;
    }
}
template <int row, int... source>
inline __m128i natural_row(const __m128i *z, std::integer_sequence<int, source...>)
{
    __m128i out = _mm_setzero_si128();
    ((out = gather<row, source>(z, out)), ...);
    return out;
}
template <int... row>
inline void natural_rows(const __m128i *z, std::int16_t *natural, std::integer_sequence<int, row...>)
{
    (_mm_storeu_si128(reinterpret_cast<__m128i *>(natural) + row,
                      natural_row<row>(z, std::make_integer_sequence<int, 8>{})),
     ...);
}

} // namespace

void idct_avx2_pair(const std::int16_t *coefficients_a, const std::int16_t *quant_a, std::uint8_t *out_a,
                    std::ptrdiff_t stride_a, const std::int16_t *coefficients_b, const std::int16_t *quant_b,
                    std::uint8_t *out_b, std::ptrdiff_t stride_b)
{
    wide_lane x[8];
    for (int r = 0; r < 8; ++r)
        x[r].v = _mm256_mullo_epi16(load_pair(coefficients_a + r * 8, coefficients_b + r * 8),
                                    load_pair(quant_a + r * 8, quant_b + r * 8));
    idct_1d(x); // vertical pass: lanes are columns
    transpose8_pair(x);
    idct_1d(x); // horizontal pass: lanes are rows
    transpose8_pair(x);
    const __m256i bias = _mm256_set1_epi16(128);
    for (int r = 0; r < 8; r += 2) {
        const __m256i a = _mm256_add_epi16(_mm256_srai_epi16(x[r].v, 5), bias);
        const __m256i b = _mm256_add_epi16(_mm256_srai_epi16(x[r + 1].v, 5), bias);
        // Per half: row r in the low 8 bytes, row r + 1 in the high 8.
        const __m256i packed = _mm256_packus_epi16(a, b);
        const __m128i pa = _mm256_castsi256_si128(packed);
        const __m128i pb = _mm256_extracti128_si256(packed, 1);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out_a + r * stride_a), pa);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out_a + (r + 1) * stride_a), _mm_srli_si128(pa, 8));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out_b + r * stride_b), pb);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out_b + (r + 1) * stride_b), _mm_srli_si128(pb, 8));
    }
}

void chroma_offsets_avx2(const std::uint8_t *cb, const std::uint8_t *cr, int count, std::int16_t *r,
                         std::int16_t *g, std::int16_t *b)
{
    const __m256i centre = _mm256_set1_epi16(128);
    for (int i = 0; i < count; i += 16) {
        const __m256i kb = _mm256_sub_epi16(
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(cb + i))), centre);
        const __m256i kr = _mm256_sub_epi16(
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(cr + i))), centre);
        __m256i vr, vg, vb;
        offsets16(kb, kr, vr, vg, vb);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(r + i), vr);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(g + i), vg);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(b + i), vb);
    }
}

void colour_from_offsets_avx2(const std::uint8_t *y, const std::int16_t *r, const std::int16_t *g,
                              const std::int16_t *b, int chroma_shift, int count, std::uint8_t *rgbx)
{
    const __m256i zero = _mm256_setzero_si256();
    for (int x = 0; x < count; x += 32) {
        const __m256i y0 = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(y + x)));
        const __m256i y1 =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(y + x + 16)));
        __m256i o0, o1;
        offsets_for(r, x, chroma_shift, o0, o1);
        // packus works per half: pixels 0-7 and 16-23 in the low half,
        // 8-15 and 24-31 in the high half; the permutes below undo it.
        const __m256i r8 = _mm256_packus_epi16(_mm256_add_epi16(y0, o0), _mm256_add_epi16(y1, o1));
        offsets_for(g, x, chroma_shift, o0, o1);
        const __m256i g8 = _mm256_packus_epi16(_mm256_add_epi16(y0, o0), _mm256_add_epi16(y1, o1));
        offsets_for(b, x, chroma_shift, o0, o1);
        const __m256i b8 = _mm256_packus_epi16(_mm256_add_epi16(y0, o0), _mm256_add_epi16(y1, o1));
        const __m256i rg_lo = _mm256_unpacklo_epi8(r8, g8); // pixels 0-7 | 8-15
        const __m256i rg_hi = _mm256_unpackhi_epi8(r8, g8); // pixels 16-23 | 24-31
        const __m256i bx_lo = _mm256_unpacklo_epi8(b8, zero);
        const __m256i bx_hi = _mm256_unpackhi_epi8(b8, zero);
        const __m256i p0 = _mm256_unpacklo_epi16(rg_lo, bx_lo); // pixels 0-3 | 8-11
        const __m256i p1 = _mm256_unpackhi_epi16(rg_lo, bx_lo); // pixels 4-7 | 12-15
        const __m256i p2 = _mm256_unpacklo_epi16(rg_hi, bx_hi); // pixels 16-19 | 24-27
        const __m256i p3 = _mm256_unpackhi_epi16(rg_hi, bx_hi); // pixels 20-23 | 28-31
        __m256i *out = reinterpret_cast<__m256i *>(rgbx + x * 4);
        _mm256_storeu_si256(out + 0, _mm256_permute2x128_si256(p0, p1, 0x20));
        _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(p0, p1, 0x31));
        _mm256_storeu_si256(out + 2, _mm256_permute2x128_si256(p2, p3, 0x20));
        _mm256_storeu_si256(out + 3, _mm256_permute2x128_si256(p2, p3, 0x31));
    }
}

void natural_from_zigzag_block_avx2(const std::int16_t zigzag_order[64], std::int16_t natural[64])
{
    __m128i z[8];
    for (int i = 0; i < 8; ++i)
        z[i] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(zigzag_order) + i);
    natural_rows(z, natural, std::make_integer_sequence<int, 8>{});
}

#else // not compiled for AVX2: never chosen, but keep every caller linking

void idct_avx2_pair(const std::int16_t *coefficients_a, const std::int16_t *quant_a, std::uint8_t *out_a,
                    std::ptrdiff_t stride_a, const std::int16_t *coefficients_b, const std::int16_t *quant_b,
                    std::uint8_t *out_b, std::ptrdiff_t stride_b)
{
    idct_scalar(coefficients_a, quant_a, out_a, stride_a);
    idct_scalar(coefficients_b, quant_b, out_b, stride_b);
}

void chroma_offsets_avx2(const std::uint8_t *cb, const std::uint8_t *cr, int count, std::int16_t *r,
                         std::int16_t *g, std::int16_t *b)
{
    chroma_offsets(simd_level::scalar, cb, cr, count, r, g, b);
}

void colour_from_offsets_avx2(const std::uint8_t *y, const std::int16_t *r, const std::int16_t *g,
                              const std::int16_t *b, int chroma_shift, int count, std::uint8_t *rgbx)
{
    colour_from_offsets(simd_level::scalar, y, r, g, b, chroma_shift, count, rgbx);
}

void natural_from_zigzag_block_avx2(const std::int16_t zigzag_order[64], std::int16_t natural[64])
{
    natural_from_zigzag_block(simd_level::scalar, zigzag_order, natural);
}

#endif

} // namespace jpeg_kernels
