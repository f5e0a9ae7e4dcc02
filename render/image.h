// SPDX-License-Identifier: GPL-3.0-or-later
// The renderer's pictures: premultiplied ARGB, one native 32-bit word a pixel
// (0xAARRGGBB), rows packed. That is the layout of a toolkit's usual
// premultiplied format (QImage::Format_ARGB32_Premultiplied among them), so a
// front end shows a buffer without copying it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/lcd/catalogue.h"

namespace cantiere {

using Pixel = std::uint32_t;

constexpr Pixel argb(unsigned a, unsigned r, unsigned g, unsigned b) {
  return (a & 0xFF) << 24 | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
}
constexpr Pixel rgb(unsigned r, unsigned g, unsigned b) { return argb(255, r, g, b); }
constexpr unsigned alphaOf(Pixel p) { return p >> 24; }
constexpr unsigned redOf(Pixel p) { return (p >> 16) & 0xFF; }
constexpr unsigned greenOf(Pixel p) { return (p >> 8) & 0xFF; }
constexpr unsigned blueOf(Pixel p) { return p & 0xFF; }

inline constexpr Pixel kOpaqueBlack = 0xFF000000u;
inline constexpr Pixel kTransparent = 0;

struct Image {
  Image() = default;
  Image(int w, int h, Pixel fill = kTransparent)
      : width(w > 0 && h > 0 ? w : 0),
        height(w > 0 && h > 0 ? h : 0),
        pixels(static_cast<std::size_t>(width) * height, fill) {}

  bool empty() const { return width == 0; }
  Rect rect() const { return {0, 0, width, height}; }
  Pixel* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
  const Pixel* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
  Pixel at(int x, int y) const { return row(y)[x]; }
  bool operator==(const Image&) const = default;

  int width = 0, height = 0;
  std::vector<Pixel> pixels;
};

// Eight bits a pixel: the anti-aliased LCD masks as they are stored.
struct GreyImage {
  GreyImage() = default;
  GreyImage(int w, int h)
      : width(w > 0 && h > 0 ? w : 0),
        height(w > 0 && h > 0 ? h : 0),
        pixels(static_cast<std::size_t>(width) * height, 0) {}

  bool empty() const { return width == 0; }
  std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
  const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
  std::uint8_t at(int x, int y) const { return row(y)[x]; }

  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
};

// Rectangles as the catalogue has them (left, top, width, height).
inline bool isEmpty(const Rect& r) { return r.width <= 0 || r.height <= 0; }
Rect intersected(const Rect& a, const Rect& b);
inline bool intersects(const Rect& a, const Rect& b) { return !isEmpty(intersected(a, b)); }
inline Rect translated(const Rect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.width, r.height}; }

// `part` of `source` as an image of its own; what lies outside `source` is
// left out.
Image copied(const Image& source, const Rect& part);

}  // namespace cantiere
