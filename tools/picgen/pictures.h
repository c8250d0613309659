// The show's four pictures, painted in memory.
//
// Depends on: picture.h, text.h. Limits: fixed sizes (1024 x 1024 colour,
// 512 x 512 noise); deterministic for a given font file.
#pragma once

#include "picture.h"
#include "text.h"

namespace picgen
{

// The palette of the show: a soft painterly field, deep blue and teal to
// warm amber and rose, no hard edges.
Picture paint_background();
// White "VELLAMOR" and a smaller credit line on black.
Picture paint_letters(const Font &font);
// The group's logo "ZVX", white and bold on black, inside a thin ring.
Picture paint_logo(const Font &font);
// Grey cloudy noise that tiles seamlessly: the source of the normal map.
Picture paint_noise();

} // namespace picgen
