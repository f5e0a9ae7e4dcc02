// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/case_outline.h"

#include <algorithm>
#include <cstdint>

namespace cantiere {
namespace {

// Darker than this in every channel counts as background: the photographs
// are JPEGs, so their black background is not exactly black, while the
// darkest edge of the case stays well above it.
constexpr unsigned kBackground = 40;

bool isBackground(Pixel p) {
  const unsigned a = alphaOf(p);
  if (a < 128) return true;
  // Channels as if unpremultiplied.
  const unsigned brightest = std::max({redOf(p), greenOf(p), blueOf(p)}) * 255 / a;
  return brightest < kBackground;
}

}  // namespace

CaseOutline CaseOutline::of(const Image& picture) {
  CaseOutline o;
  if (picture.empty()) return o;
  const int w = picture.width, h = picture.height;
  // Flood the background in from every edge pixel; what is not reached is
  // the case, dark parts inside it included.
  std::vector<std::uint8_t> outside(static_cast<std::size_t>(w) * h, 0);
  std::vector<int> todo;
  auto visit = [&](int x, int y) {
    const std::size_t i = static_cast<std::size_t>(y) * w + x;
    if (outside[i] || !isBackground(picture.pixels[i])) return;
    outside[i] = 1;
    todo.push_back(static_cast<int>(i));
  };
  for (int x = 0; x < w; ++x) {
    visit(x, 0);
    visit(x, h - 1);
  }
  for (int y = 0; y < h; ++y) {
    visit(0, y);
    visit(w - 1, y);
  }
  while (!todo.empty()) {
    const int i = todo.back();
    todo.pop_back();
    const int x = i % w, y = i / w;
    if (x > 0) visit(x - 1, y);
    if (x + 1 < w) visit(x + 1, y);
    if (y > 0) visit(x, y - 1);
    if (y + 1 < h) visit(x, y + 1);
  }
  o.width_ = w;
  o.height_ = h;
  o.rowStart_.reserve(h + 1);
  for (int y = 0; y < h; ++y) {
    o.rowStart_.push_back(static_cast<int>(o.spans_.size()));
    const std::uint8_t* line = outside.data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w;) {
      if (line[x]) {
        ++x;
        continue;
      }
      const int left = x;
      while (x < w && !line[x]) ++x;
      o.spans_.push_back({left, x});
    }
  }
  o.rowStart_.push_back(static_cast<int>(o.spans_.size()));
  return o;
}

const Span* CaseOutline::begin(int y) const {
  return y < 0 || y >= height_ ? nullptr : spans_.data() + rowStart_[y];
}

const Span* CaseOutline::end(int y) const {
  return y < 0 || y >= height_ ? nullptr : spans_.data() + rowStart_[y + 1];
}

bool CaseOutline::contains(int x, int y) const {
  for (const Span* s = begin(y); s != end(y); ++s)
    if (x >= s->left && x < s->right) return true;
  return false;
}

std::vector<Rect> CaseOutline::rectangles() const {
  std::vector<Rect> out;
  for (int y = 0; y < height_;) {
    int next = y + 1;
    while (next < height_ && std::equal(begin(y), end(y), begin(next), end(next))) ++next;
    for (const Span* s = begin(y); s != end(y); ++s) out.push_back({s->left, y, s->right - s->left, next - y});
    y = next;
  }
  return out;
}

void clearOutside(Image& target, const CaseOutline& outline, int originX, int originY,
                  const Rect& region) {
  const Rect r = intersected(region, target.rect());
  for (int y = r.top; y < r.top + r.height; ++y) {
    Pixel* line = target.row(y);
    int x = r.left;
    const int right = r.left + r.width;
    for (const Span* s = outline.begin(y - originY); s != outline.end(y - originY); ++s) {
      const int left = std::clamp(s->left + originX, x, right);
      std::fill(line + x, line + left, kTransparent);
      x = std::max(x, std::min(s->right + originX, right));
    }
    std::fill(line + x, line + right, kTransparent);
  }
}

}  // namespace cantiere
