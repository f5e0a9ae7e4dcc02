// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/lcd_effects.h"

#include <algorithm>
#include <cmath>

namespace cantiere {
namespace {

// Deep blue-grey ink, a little transparent; the shadow a blue-black.
constexpr int kInkR = 30, kInkG = 40, kInkB = 56;
constexpr double kInkOpacity = 0.86;
constexpr int kShadowR = 8, kShadowG = 12, kShadowB = 22;
// The shadow's blur (a Gaussian's sigma) at 1x.
constexpr double kShadowSoftness = 0.8;

// The segment's coverage at its device size, 0 to 1 a pixel.
std::vector<float> coverage(const Image& picture, int width, int height) {
  std::vector<float> mask(static_cast<std::size_t>(width) * height, 0.0f);
  const int w = std::min(width, picture.width), h = std::min(height, picture.height);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) mask[static_cast<std::size_t>(y) * width + x] = alphaOf(picture.at(x, y)) / 255.0f;
  return mask;
}

Image tinted(const std::vector<float>& mask, int width, int height, int r, int g, int b,
             double opacity) {
  Image out(width, height);
  for (std::size_t i = 0; i < out.pixels.size(); ++i) {
    const int a = static_cast<int>(std::lround(mask[i] * opacity * 255));
    out.pixels[i] = argb(a, r * a / 255, g * a / 255, b * a / 255);
  }
  return out;
}

// Blurred and offset in one separable pass per axis; the result is the
// picture's size grown by the kernel's reach.
Image shadowOf(const std::vector<float>& mask, int width, int height, const ShadowKernel& k) {
  const int grow = k.hi() - k.lo;
  const int ow = width + grow, oh = height + grow;
  std::vector<float> across(static_cast<std::size_t>(ow) * height, 0.0f);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const float m = mask[static_cast<std::size_t>(y) * width + x];
      if (m == 0.0f) continue;
      for (std::size_t i = 0; i < k.weight.size(); ++i)
        across[static_cast<std::size_t>(y) * ow + x + i] += m * k.weight[i];
    }
  std::vector<float> both(static_cast<std::size_t>(ow) * oh, 0.0f);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < ow; ++x) {
      const float m = across[static_cast<std::size_t>(y) * ow + x];
      if (m == 0.0f) continue;
      for (std::size_t i = 0; i < k.weight.size(); ++i)
        both[(y + i) * ow + x] += m * k.weight[i];
    }
  for (float& v : both) v = std::min(v, 1.0f);
  return tinted(both, ow, oh, kShadowR, kShadowG, kShadowB, kShadowOpacity);
}

// Two soft bands across the diagonal, as a window pane catches a lamp: a
// broad one high on the left and a narrow one after it.
Image sheen(int width, int height) {
  Image out(width, height);
  const double span = width + height;
  for (int y = 0; y < height; ++y) {
    Pixel* line = out.row(y);
    for (int x = 0; x < width; ++x) {
      const double t = (x + y) / span;
      const double broad = (t - 0.30) / 0.12, narrow = (t - 0.53) / 0.04;
      const double alpha = 0.11 * portableExp(-broad * broad) + 0.06 * portableExp(-narrow * narrow);
      const unsigned a = static_cast<unsigned>(std::lround(alpha * 255));
      line[x] = argb(a, a, a, a);
    }
  }
  return out;
}

}  // namespace

double portableExp(double x) {
  if (!(x > -700)) return 0;  // below the smallest double, or NaN
  // e^x = (e^(x / 1024))^1024, the series converging fast for |x| / 1024 < 1.
  const double y = x / 1024;
  double term = 1, sum = 1;
  for (int n = 1; n <= 20; ++n) {
    term *= y / n;
    sum += term;
  }
  for (int i = 0; i < 10; ++i) sum *= sum;
  return sum;
}

ShadowKernel shadowKernel(double scale) {
  const double d = kShadowOffset * scale;
  const double sigma = kShadowSoftness * scale;
  ShadowKernel k;
  // Three sigmas either side of the offset: all but a trace of the blur.
  k.lo = static_cast<int>(std::floor(d - 3 * sigma));
  const int hi = static_cast<int>(std::ceil(d + 3 * sigma));
  std::vector<double> weight;
  double sum = 0;
  for (int x = k.lo; x <= hi; ++x) {
    weight.push_back(portableExp(-(x - d) * (x - d) / (2 * sigma * sigma)));
    sum += weight.back();
  }
  for (double w : weight) k.weight.push_back(static_cast<float>(w / sum));
  return k;
}

Rect segmentPaintRect(const Rect& rect, double scale) {
  const double d = kShadowOffset * scale, sigma = kShadowSoftness * scale;
  return segmentPaintRect(rect, static_cast<int>(std::floor(d - 3 * sigma)),
                          static_cast<int>(std::ceil(d + 3 * sigma)));
}

Rect segmentPaintRect(const Rect& rect, int lo, int hi) {
  const int before = std::min(lo, 0), after = std::max(hi, 0);
  return {rect.left + before, rect.top + before, rect.width - before + after,
          rect.height - before + after};
}

LcdEffects::LcdEffects(double scale) : scale_(scale), kernel_(shadowKernel(scale)) {}

const Sprite& LcdEffects::made(Kind kind, Element owner, const Image& picture, int width,
                               int height) {
  Shelf& shelf = made_[owner];
  for (const auto& m : shelf)
    if (m->kind == kind && m->width == width && m->height == height) return m->sprite;
  const std::vector<float> mask = coverage(picture, width, height);
  Image image = kind == Kind::Ink ? tinted(mask, width, height, kInkR, kInkG, kInkB, kInkOpacity)
                                  : shadowOf(mask, width, height, kernel_);
  shelf.push_back(std::make_unique<Made>(Made{kind, width, height, Sprite(std::move(image))}));
  return shelf.back()->sprite;
}

const Sprite& LcdEffects::ink(Element owner, const Image& picture, int width, int height) {
  return made(Kind::Ink, owner, picture, width, height);
}

const Sprite& LcdEffects::shadow(Element owner, const Image& picture, int width, int height) {
  return made(Kind::Shadow, owner, picture, width, height);
}

const Sprite& LcdEffects::glass(int width, int height) {
  for (const auto& m : glass_)
    if (m->width == width && m->height == height) return m->sprite;
  glass_.push_back(std::make_unique<Made>(Made{Kind::Ink, width, height, Sprite(sheen(width, height))}));
  return glass_.back()->sprite;
}

void LcdEffects::forget(Element owner) {
  if (owner < ElementCount) made_[owner].clear();
}

}  // namespace cantiere
