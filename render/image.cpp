// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/image.h"

#include <algorithm>
#include <cstring>

namespace cantiere {

Rect intersected(const Rect& a, const Rect& b) {
  const int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
  const int right = std::min(a.left + a.width, b.left + b.width);
  const int bottom = std::min(a.top + a.height, b.top + b.height);
  if (right <= left || bottom <= top) return {left, top, 0, 0};
  return {left, top, right - left, bottom - top};
}

Image copied(const Image& source, const Rect& part) {
  const Rect r = intersected(part, source.rect());
  Image out(r.width, r.height);
  for (int y = 0; y < out.height; ++y)
    std::memcpy(out.row(y), source.row(r.top + y) + r.left, sizeof(Pixel) * out.width);
  return out;
}

}  // namespace cantiere
