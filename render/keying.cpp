// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/keying.h"

namespace cantiere {

Image keyed(const Image& picture) {
  if (picture.empty()) return {};
  Image out = picture;
  const Pixel key = out.at(0, out.height - 1);
  for (Pixel& p : out.pixels)
    if (p == key) p = kTransparent;
  return out;
}

Image opaqueGrey(const GreyImage& mask) {
  Image out(mask.width, mask.height);
  for (std::size_t i = 0; i < mask.pixels.size(); ++i) {
    const unsigned g = mask.pixels[i];
    out.pixels[i] = rgb(g, g, g);
  }
  return out;
}

Image maskKeyed(const GreyImage& mask) {
  if (mask.empty()) return {};
  const unsigned key = mask.at(0, mask.height - 1);
  if (key != 0 && key != 255) return keyed(opaqueGrey(mask));
  Image out(mask.width, mask.height);
  for (std::size_t i = 0; i < mask.pixels.size(); ++i) {
    const unsigned a = key == 255 ? 255u - mask.pixels[i] : mask.pixels[i];
    const unsigned ink = key == 255 ? 0u : a;  // premultiplied black or white
    out.pixels[i] = argb(a, ink, ink, ink);
  }
  return out;
}

}  // namespace cantiere
