// The one-dimensional pass of the JPEG decoder's inverse DCT (the scaled
// Arai-Agui-Nakajima form on 16-bit values), written once as a template
// over a "lane" type: one int16 with wrapping arithmetic, or a vector of
// them. Every form runs the same operation sequence, so all give the same
// bytes. Multiplications are (4x * c) >> 16 with c in units of 1/16384.
//
// Everything here has internal linkage on purpose: the kernel files are
// compiled for different instruction sets, and each must keep its own copy
// rather than have the linker pick one for all.
//
// Depends on: <cstdint>. Internal to src/assets/jpeg.
#pragma once

#include <cstdint>

namespace jpeg_kernels
{
namespace
{

constexpr std::int16_t fix_1_414 = 23170;   //  1.41421 * 16384
constexpr std::int16_t fix_1_848 = 30273;   //  1.84776 * 16384
constexpr std::int16_t fix_n0_765 = -12540; // -0.76537 * 16384
constexpr std::int16_t fix_n1_853 = -30353; // -1.85260 * 16384 (the fixed constant of this transform)

// One 8-point inverse transform, in place on x[0..7].
template <typename Lane> inline void idct_1d(Lane *x)
{
    // Even part.
    const Lane tmp10 = x[0] + x[4];
    const Lane tmp11 = x[0] - x[4];
    const Lane tmp13 = x[2] + x[6];
    const Lane tmp12 = mul_fix(x[2] - x[6], fix_1_414) - tmp13;
    const Lane e0 = tmp10 + tmp13;
    const Lane e3 = tmp10 - tmp13;
    const Lane e1 = tmp11 + tmp12;
    const Lane e2 = tmp11 - tmp12;

    // Odd part: the 1.08239 and -2.61313 rotations of the classic form are
    // split so that only the four constants above are needed.
    const Lane z13 = x[5] + x[3];
    const Lane z10 = x[5] - x[3];
    const Lane z11 = x[1] + x[7];
    const Lane z12 = x[1] - x[7];
    const Lane o7 = z11 + z13;
    const Lane o11 = mul_fix(z11 - z13, fix_1_414);
    const Lane o10 = mul_fix(z12, fix_n0_765) + mul_fix(z10, fix_n1_853);
    const Lane o12 = mul_fix(z10, fix_n0_765) + mul_fix(z12, fix_1_848);
    const Lane o6 = o12 - o7;
    const Lane o5 = o11 - o6;
    const Lane o4 = o10 + o5;

    x[0] = e0 + o7;
    x[7] = e0 - o7;
    x[1] = e1 + o6;
    x[6] = e1 - o6;
    x[2] = e2 + o5;
    x[5] = e2 - o5;
    x[4] = e3 + o4;
    x[3] = e3 - o4;
}

} // namespace
} // namespace jpeg_kernels
