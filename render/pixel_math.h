// SPDX-License-Identifier: GPL-3.0-or-later
// Blending premultiplied pixels in integers. The rounding is the one every
// common raster engine uses (a product divided by 255 as (t + t/256 + 128)/256),
// so drawing here and drawing through a toolkit's painter agree to the level.
#pragma once

#include "render/image.h"

namespace cantiere {

// Each channel of `p` times a / 255, rounded; two channels at a time.
inline Pixel scaled(Pixel p, unsigned a) {
  Pixel rb = (p & 0x00FF00FFu) * a;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu;
  Pixel ag = ((p >> 8) & 0x00FF00FFu) * a;
  ag = (ag + ((ag >> 8) & 0x00FF00FFu) + 0x00800080u) & 0xFF00FF00u;
  return ag | rb;
}

// `source` over `dest`.
inline Pixel over(Pixel source, Pixel dest) { return source + scaled(dest, 255 - alphaOf(source)); }

// A painter's opacity as the multiplier of a layer's pixels: 0..1 taken in
// 256ths, truncated, then brought to 0..255, as a raster painter takes it.
inline unsigned opacityFactor(float opacity) {
  const double o = opacity < 0 ? 0.0 : opacity > 1 ? 1.0 : static_cast<double>(opacity);
  const unsigned in256 = static_cast<unsigned>(o * 256);
  return in256 * 255 >> 8;
}

}  // namespace cantiere
