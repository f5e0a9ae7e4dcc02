// SPDX-License-Identifier: GPL-3.0-or-later
// Premultiplied pixels drawn over a row, the renderer's inner loops: four
// pixels at a time where the processor has SSE2, one at a time elsewhere,
// with the same integer arithmetic (pixel_math.h) either way.
#pragma once

#include "render/image.h"

namespace cantiere {

// dest[i] = source[i] over dest[i].
void overRow(Pixel* dest, const Pixel* source, int count);
// The same with each source pixel first multiplied by factor / 255.
void overRowScaled(Pixel* dest, const Pixel* source, int count, unsigned factor);

}  // namespace cantiere
