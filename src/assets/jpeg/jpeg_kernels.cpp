// Pixel kernels of the JPEG decoder: quantisation prescaling, the scaled
// Arai-Agui-Nakajima inverse DCT on 16-bit values, YCbCr to RGB.
//
// The inverse DCT is written once as a template over a "lane" type; the
// scalar lane is one int16 with wrapping arithmetic, the SSE2 lane is eight
// of them. Both run the same operation sequence, so both give the same bytes.
// Multiplications are (4x * c) >> 16 with c in units of 1/16384.
//
// Depends on: <emmintrin.h> when the compiler targets SSE2.
#include "assets/jpeg/jpeg_kernels.h"

#include "assets/jpeg/jpeg_idct_pass.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#define VELLAMOR_JPEG_SSE2 1
#else
#define VELLAMOR_JPEG_SSE2 0
#endif

namespace jpeg_kernels
{
namespace
{

// ---------------------------------------------------------------------------
// Module Functions Definition: inverse DCT
// ---------------------------------------------------------------------------
struct scalar_lane {
    std::int16_t v;
};
inline scalar_lane operator+(scalar_lane a, scalar_lane b)
{
    return {static_cast<std::int16_t>(a.v + b.v)};
}
inline scalar_lane operator-(scalar_lane a, scalar_lane b)
{
    return {static_cast<std::int16_t>(a.v - b.v)};
}
inline scalar_lane mul_fix(scalar_lane a, std::int16_t c)
{
    const auto x4 = static_cast<std::int16_t>(a.v * 4);
    return {static_cast<std::int16_t>((static_cast<std::int32_t>(x4) * c) >> 16)};
}

#if VELLAMOR_JPEG_SSE2
struct vector_lane {
    __m128i v;
};
inline vector_lane operator+(vector_lane a, vector_lane b)
{
    return {_mm_add_epi16(a.v, b.v)};
}
inline vector_lane operator-(vector_lane a, vector_lane b)
{
    return {_mm_sub_epi16(a.v, b.v)};
}
inline vector_lane mul_fix(vector_lane a, std::int16_t c)
{
    return {_mm_mulhi_epi16(_mm_slli_epi16(a.v, 2), _mm_set1_epi16(c))};
}
#endif

inline std::uint8_t output_sample(std::int16_t v)
{
    const int s = (v >> 5) + 128;
    return static_cast<std::uint8_t>(std::clamp(s, 0, 255));
}

#if VELLAMOR_JPEG_SSE2
inline void transpose8(__m128i *r)
{
    const __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]);
    const __m128i a1 = _mm_unpackhi_epi16(r[0], r[1]);
    const __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]);
    const __m128i a3 = _mm_unpackhi_epi16(r[2], r[3]);
    const __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]);
    const __m128i a5 = _mm_unpackhi_epi16(r[4], r[5]);
    const __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]);
    const __m128i a7 = _mm_unpackhi_epi16(r[6], r[7]);
    const __m128i b0 = _mm_unpacklo_epi32(a0, a2);
    const __m128i b1 = _mm_unpackhi_epi32(a0, a2);
    const __m128i b2 = _mm_unpacklo_epi32(a1, a3);
    const __m128i b3 = _mm_unpackhi_epi32(a1, a3);
    const __m128i b4 = _mm_unpacklo_epi32(a4, a6);
    const __m128i b5 = _mm_unpackhi_epi32(a4, a6);
    const __m128i b6 = _mm_unpacklo_epi32(a5, a7);
    const __m128i b7 = _mm_unpackhi_epi32(a5, a7);
    r[0] = _mm_unpacklo_epi64(b0, b4);
    r[1] = _mm_unpackhi_epi64(b0, b4);
    r[2] = _mm_unpacklo_epi64(b1, b5);
    r[3] = _mm_unpackhi_epi64(b1, b5);
    r[4] = _mm_unpacklo_epi64(b2, b6);
    r[5] = _mm_unpackhi_epi64(b2, b6);
    r[6] = _mm_unpacklo_epi64(b3, b7);
    r[7] = _mm_unpackhi_epi64(b3, b7);
}
#endif

// ---------------------------------------------------------------------------
// Module Functions Definition: colour conversion tables (JFIF, 16.16)
// ---------------------------------------------------------------------------
struct colour_tables {
    std::array<int, 256> cr_r{}, cr_g{}, cb_g{}, cb_b{};
    colour_tables()
    {
        for (int i = 0; i < 256; ++i) {
            const int k = i - 128;
            cr_r[i] = (91882 * k + 32768) >> 16;
            cr_g[i] = -46802 * k;
            cb_g[i] = -22554 * k + 32768;
            cb_b[i] = (116130 * k + 32768) >> 16;
        }
    }
};
const colour_tables tables;

inline std::uint8_t clamp_byte(int v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

} // namespace

simd_level best_simd_level()
{
#if defined(VELLAMOR_JPEG_AVX2) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    if (avx2)
        return simd_level::avx2;
#endif
    return VELLAMOR_JPEG_SSE2 ? simd_level::sse2 : simd_level::scalar;
}

simd_level usable_simd_level(simd_level wanted)
{
    const simd_level best = best_simd_level();
    return static_cast<int>(wanted) < static_cast<int>(best) ? wanted : best;
}

int aan_scale(int position)
{
    static const std::array<int, 64> scales = [] {
        std::array<int, 64> s{};
        const double pi = 3.14159265358979323846;
        auto f = [&](int k) { return k == 0 ? 1.0 : std::sqrt(2.0) * std::cos(k * pi / 16.0); };
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                s[r * 8 + c] = static_cast<int>(std::lround(16384.0 * f(r) * f(c)));
        return s;
    }();
    return scales[static_cast<std::size_t>(position & 63)];
}

void prescale_quant(const std::uint16_t zigzag_values[64], std::int16_t natural_out[64])
{
    for (int i = 0; i < 64; ++i) {
        const int pos = natural_from_zigzag[i];
        const std::int64_t v = (static_cast<std::int64_t>(zigzag_values[i]) * aan_scale(pos) + 2048) >> 12;
        natural_out[pos] = static_cast<std::int16_t>(std::min<std::int64_t>(v, 32767));
    }
}

void idct_scalar(const std::int16_t coefficients[64], const std::int16_t prescaled_quant[64],
                 std::uint8_t *out, std::ptrdiff_t stride)
{
    scalar_lane ws[64];
    for (int i = 0; i < 64; ++i)
        ws[i].v = static_cast<std::int16_t>(coefficients[i] * prescaled_quant[i]);
    scalar_lane col[8];
    for (int c = 0; c < 8; ++c) { // vertical pass
        for (int r = 0; r < 8; ++r)
            col[r] = ws[r * 8 + c];
        idct_1d(col);
        for (int r = 0; r < 8; ++r)
            ws[r * 8 + c] = col[r];
    }
    for (int r = 0; r < 8; ++r) { // horizontal pass
        idct_1d(ws + r * 8);
        std::uint8_t *row = out + r * stride;
        for (int c = 0; c < 8; ++c)
            row[c] = output_sample(ws[r * 8 + c].v);
    }
}

void idct_sse2(const std::int16_t coefficients[64], const std::int16_t prescaled_quant[64], std::uint8_t *out,
               std::ptrdiff_t stride)
{
#if VELLAMOR_JPEG_SSE2
    vector_lane x[8];
    for (int r = 0; r < 8; ++r) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(coefficients + r * 8));
        const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i *>(prescaled_quant + r * 8));
        x[r].v = _mm_mullo_epi16(c, q);
    }
    idct_1d(x); // vertical pass: lanes are columns
    __m128i t[8];
    for (int i = 0; i < 8; ++i)
        t[i] = x[i].v;
    transpose8(t);
    for (int i = 0; i < 8; ++i)
        x[i].v = t[i];
    idct_1d(x); // horizontal pass: lanes are rows
    for (int i = 0; i < 8; ++i)
        t[i] = x[i].v;
    transpose8(t);
    const __m128i bias = _mm_set1_epi16(128);
    for (int r = 0; r < 8; r += 2) {
        const __m128i a = _mm_add_epi16(_mm_srai_epi16(t[r], 5), bias);
        const __m128i b = _mm_add_epi16(_mm_srai_epi16(t[r + 1], 5), bias);
        const __m128i packed = _mm_packus_epi16(a, b);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + r * stride), packed);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + (r + 1) * stride), _mm_srli_si128(packed, 8));
    }
#else
    idct_scalar(coefficients, prescaled_quant, out, stride);
#endif
}

bool has_ac(const std::int16_t block[64])
{
#if VELLAMOR_JPEG_SSE2
    const auto *v = reinterpret_cast<const __m128i *>(block);
    __m128i any = _mm_and_si128(_mm_loadu_si128(v), _mm_set_epi16(-1, -1, -1, -1, -1, -1, -1, 0));
    for (int i = 1; i < 8; ++i)
        any = _mm_or_si128(any, _mm_loadu_si128(v + i));
    return _mm_movemask_epi8(_mm_cmpeq_epi16(any, _mm_setzero_si128())) != 0xFFFF;
#else
    int any = 0;
    for (int k = 1; k < 64; ++k)
        any |= block[k];
    return any != 0;
#endif
}

namespace
{
// Unrolled: every move has fixed addresses.
template <std::size_t... k>
inline void reorder(const std::int16_t *zigzag, std::int16_t *natural, std::index_sequence<k...>)
{
    ((natural[natural_from_zigzag[k]] = zigzag[k]), ...);
}
} // namespace

void natural_from_zigzag_block(simd_level level, const std::int16_t zigzag[64], std::int16_t natural[64])
{
    if (usable_simd_level(level) == simd_level::avx2)
        natural_from_zigzag_block_avx2(zigzag, natural);
    else
        reorder(zigzag, natural, std::make_index_sequence<64>{});
}

void idct_dc_only(std::int16_t dc, std::int16_t prescaled_quant0, std::uint8_t *out, std::ptrdiff_t stride)
{
    const std::uint8_t v = output_sample(static_cast<std::int16_t>(dc * prescaled_quant0));
    for (int r = 0; r < 8; ++r)
        std::memset(out + r * stride, v, 8);
}

namespace
{
void chroma_offsets_scalar(const std::uint8_t *cb, const std::uint8_t *cr, int count, std::int16_t *r,
                           std::int16_t *g, std::int16_t *b)
{
    for (int i = 0; i < count; ++i) {
        const auto kb = static_cast<std::size_t>(cb[i]);
        const auto kr = static_cast<std::size_t>(cr[i]);
        r[i] = static_cast<std::int16_t>(tables.cr_r[kr]);
        g[i] = static_cast<std::int16_t>((tables.cr_g[kr] + tables.cb_g[kb]) >> 16);
        b[i] = static_cast<std::int16_t>(tables.cb_b[kb]);
    }
}

void colour_from_offsets_scalar(const std::uint8_t *y, const std::int16_t *r, const std::int16_t *g,
                                const std::int16_t *b, int chroma_shift, int count, std::uint8_t *rgbx)
{
    for (int x = 0; x < count; ++x) {
        const int yy = y[x];
        const int c = x >> chroma_shift;
        rgbx[0] = clamp_byte(yy + r[c]);
        rgbx[1] = clamp_byte(yy + g[c]);
        rgbx[2] = clamp_byte(yy + b[c]);
        rgbx[3] = 0;
        rgbx += 4;
    }
}

#if VELLAMOR_JPEG_SSE2
// The chroma offsets of 8 samples, centred chroma as 16-bit lanes.
inline void offsets8(__m128i kb, __m128i kr, __m128i &r, __m128i &g, __m128i &b)
{
    // The 16.16 products of the tables, exactly: 91882 = 65536 + 26346,
    // -46802 = -65536 + 18734, 116130 = 131072 - 14942; the rounding 32768
    // enters as 2 * 16384 through the pair multiply-add.
    const __m128i two = _mm_set1_epi16(2);
    const __m128i c_r = _mm_set_epi16(16384, 26346, 16384, 26346, 16384, 26346, 16384, 26346);
    const __m128i c_g = _mm_set_epi16(-22554, 18734, -22554, 18734, -22554, 18734, -22554, 18734);
    const __m128i c_b = _mm_set_epi16(16384, -14942, 16384, -14942, 16384, -14942, 16384, -14942);
    const __m128i half = _mm_set1_epi32(32768);

    __m128i lo = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(kr, two), c_r), 16);
    __m128i hi = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(kr, two), c_r), 16);
    r = _mm_add_epi16(_mm_packs_epi32(lo, hi), kr);

    lo = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(kr, kb), c_g), half), 16);
    hi = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(kr, kb), c_g), half), 16);
    g = _mm_sub_epi16(_mm_packs_epi32(lo, hi), kr);

    lo = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(kb, two), c_b), 16);
    hi = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(kb, two), c_b), 16);
    b = _mm_add_epi16(_mm_packs_epi32(lo, hi), _mm_add_epi16(kb, kb));
}

void chroma_offsets_sse2(const std::uint8_t *cb, const std::uint8_t *cr, int count, std::int16_t *r,
                         std::int16_t *g, std::int16_t *b)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i centre = _mm_set1_epi16(128);
    for (int i = 0; i < count; i += 8) {
        const __m128i kb = _mm_sub_epi16(
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(cb + i)), zero), centre);
        const __m128i kr = _mm_sub_epi16(
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(cr + i)), zero), centre);
        __m128i vr, vg, vb;
        offsets8(kb, kr, vr, vg, vb);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(r + i), vr);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(g + i), vg);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(b + i), vb);
    }
}

// 16 offsets for pixels x .. x + 15.
inline __m128i offsets_for(const std::int16_t *o, int x, int chroma_shift, bool high)
{
    if (chroma_shift == 0)
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(o + x + (high ? 8 : 0)));
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(o + (x >> 1)));
    return high ? _mm_unpackhi_epi16(v, v) : _mm_unpacklo_epi16(v, v);
}

void colour_from_offsets_sse2(const std::uint8_t *y, const std::int16_t *r, const std::int16_t *g,
                              const std::int16_t *b, int chroma_shift, int count, std::uint8_t *rgbx)
{
    const __m128i zero = _mm_setzero_si128();
    for (int x = 0; x < count; x += 16) {
        const __m128i yv = _mm_loadu_si128(reinterpret_cast<const __m128i *>(y + x));
        const __m128i y0 = _mm_unpacklo_epi8(yv, zero);
        const __m128i y1 = _mm_unpackhi_epi8(yv, zero);
        const __m128i r8 = _mm_packus_epi16(_mm_add_epi16(y0, offsets_for(r, x, chroma_shift, false)),
                                            _mm_add_epi16(y1, offsets_for(r, x, chroma_shift, true)));
        const __m128i g8 = _mm_packus_epi16(_mm_add_epi16(y0, offsets_for(g, x, chroma_shift, false)),
                                            _mm_add_epi16(y1, offsets_for(g, x, chroma_shift, true)));
        const __m128i b8 = _mm_packus_epi16(_mm_add_epi16(y0, offsets_for(b, x, chroma_shift, false)),
                                            _mm_add_epi16(y1, offsets_for(b, x, chroma_shift, true)));
        const __m128i rg_lo = _mm_unpacklo_epi8(r8, g8);
        const __m128i rg_hi = _mm_unpackhi_epi8(r8, g8);
        const __m128i bx_lo = _mm_unpacklo_epi8(b8, zero);
        const __m128i bx_hi = _mm_unpackhi_epi8(b8, zero);
        __m128i *out = reinterpret_cast<__m128i *>(rgbx + x * 4);
        _mm_storeu_si128(out + 0, _mm_unpacklo_epi16(rg_lo, bx_lo));
        _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(rg_lo, bx_lo));
        _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(rg_hi, bx_hi));
        _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(rg_hi, bx_hi));
    }
}
#endif
} // namespace

void chroma_offsets(simd_level level, const std::uint8_t *cb, const std::uint8_t *cr, int count,
                    std::int16_t *r, std::int16_t *g, std::int16_t *b)
{
    switch (usable_simd_level(level)) {
    case simd_level::avx2:
        chroma_offsets_avx2(cb, cr, count, r, g, b);
        return;
#if VELLAMOR_JPEG_SSE2
    case simd_level::sse2:
        chroma_offsets_sse2(cb, cr, count, r, g, b);
        return;
#endif
    default:
        chroma_offsets_scalar(cb, cr, count, r, g, b);
        return;
    }
}

void colour_from_offsets(simd_level level, const std::uint8_t *y, const std::int16_t *r,
                         const std::int16_t *g, const std::int16_t *b, int chroma_shift, int count,
                         std::uint8_t *rgbx)
{
    switch (usable_simd_level(level)) {
    case simd_level::avx2:
        colour_from_offsets_avx2(y, r, g, b, chroma_shift, count, rgbx);
        return;
#if VELLAMOR_JPEG_SSE2
    case simd_level::sse2:
        colour_from_offsets_sse2(y, r, g, b, chroma_shift, count, rgbx);
        return;
#endif
    default:
        colour_from_offsets_scalar(y, r, g, b, chroma_shift, count, rgbx);
        return;
    }
}

} // namespace jpeg_kernels
