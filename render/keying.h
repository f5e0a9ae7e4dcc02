// SPDX-License-Identifier: GPL-3.0-or-later
// How a transparent element leaves out its picture's background.
#pragma once

#include "render/image.h"

namespace cantiere {

// Every pixel of the bottom-left pixel's colour made fully transparent.
Image keyed(const Image& picture);

// An anti-aliased mask over its transparent tone (the bottom-left pixel's):
// the farther a pixel's tone from it, the more opaque, in the other tone
// (black over white, white over black). A mask whose transparent tone is
// neither black nor white keys that tone exactly.
Image maskKeyed(const GreyImage& mask);

// The mask as an opaque grey picture, as an element that is not
// transparent draws it.
Image opaqueGrey(const GreyImage& mask);

}  // namespace cantiere
