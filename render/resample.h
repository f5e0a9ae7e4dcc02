// SPDX-License-Identifier: GPL-3.0-or-later
// Smooth resampling for the device scales between the art's (150 %, 250 %, a
// screen ratio of 1.25): an area average where a picture shrinks and a
// linear blend of neighbours where it grows, each axis on its own. All in
// integers, so every front end (and a browser) gets the same pixels; the
// weights and their rounding follow the smooth scaling of the usual desktop
// toolkits, so the look is the one the window always had.
#pragma once

#include "render/image.h"

namespace cantiere {

// `source` at `width` x `height` (premultiplied pixels). An `opaque` picture
// keeps alpha 255 throughout. The same size gives the picture itself; an
// empty picture or size gives an empty one.
Image resampled(const Image& source, int width, int height, bool opaque);

}  // namespace cantiere
