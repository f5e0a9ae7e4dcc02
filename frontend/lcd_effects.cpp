// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/lcd_effects.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

namespace cantiere {
namespace {

// Deep blue-grey ink, a little transparent; the shadow a blue-black.
constexpr int kInkR = 30, kInkG = 40, kInkB = 56;
constexpr double kInkOpacity = 0.86;
constexpr int kShadowR = 8, kShadowG = 12, kShadowB = 22;
// The shadow's blur (a Gaussian's sigma) at 1x.
constexpr double kShadowSoftness = 0.8;

// Shadow offset and blur along one axis, as one kernel: output pixel
// x + lo + i takes weight[i] of source pixel x.
struct Kernel {
  int lo = 0;
  std::vector<float> weight;
  int hi() const { return lo + static_cast<int>(weight.size()) - 1; }
};

Kernel shadowKernel(double scale) {
  const double d = kShadowOffset * scale;
  const double sigma = kShadowSoftness * scale;
  Kernel k;
  k.lo = static_cast<int>(std::floor(d - 3 * sigma));
  const int hi = static_cast<int>(std::ceil(d + 3 * sigma));
  double sum = 0;
  for (int x = k.lo; x <= hi; ++x) {
    const double w = std::exp(-(x - d) * (x - d) / (2 * sigma * sigma));
    k.weight.push_back(static_cast<float>(w));
    sum += w;
  }
  for (float& w : k.weight) w = static_cast<float>(w / sum);
  return k;
}

const Kernel& kernelFor(double scale) {
  static std::map<int, Kernel> kernels;
  const int key = static_cast<int>(std::lround(scale * 1000));
  auto it = kernels.find(key);
  if (it == kernels.end()) it = kernels.emplace(key, shadowKernel(scale)).first;
  return it->second;
}

// The segment's coverage at its device size, 0 to 1 a pixel, from a picture
// drawn for that size; never beyond the element, as unlit pixels of a
// wrong-size picture must not show.
std::vector<float> coverage(const QImage& picture, QSize size) {
  const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
  std::vector<float> mask(static_cast<std::size_t>(size.width()) * size.height(), 0.0f);
  const int w = std::min(size.width(), source.width());
  const int h = std::min(size.height(), source.height());
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    for (int x = 0; x < w; ++x) mask[y * size.width() + x] = qAlpha(line[x]) / 255.0f;
  }
  return mask;
}

QImage tinted(const std::vector<float>& mask, QSize size, int r, int g, int b, double opacity) {
  QImage out(size, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < size.width(); ++x) {
      const int a = static_cast<int>(std::lround(mask[y * size.width() + x] * opacity * 255));
      line[x] = qRgba(r * a / 255, g * a / 255, b * a / 255, a);
    }
  }
  return out;
}

enum class Kind { Ink, Shadow };

// Ink and shadow pictures are made once per picture, size and scale.
const QImage& made(Kind kind, const QImage& picture, QSize size, double scale) {
  using Key = std::tuple<int, qint64, int, int, int>;
  static std::map<Key, QImage> cache;
  const Key key{static_cast<int>(kind), picture.cacheKey(), size.width(), size.height(),
                static_cast<int>(std::lround(scale * 1000))};
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;

  const std::vector<float> mask = coverage(picture, size);
  QImage image;
  if (kind == Kind::Ink) {
    image = tinted(mask, size, kInkR, kInkG, kInkB, kInkOpacity);
  } else {
    // Blurred and offset in one separable pass per axis.
    const Kernel& k = kernelFor(scale);
    const int grow = k.hi() - k.lo;
    const QSize out(size.width() + grow, size.height() + grow);
    std::vector<float> across(static_cast<std::size_t>(out.width()) * size.height(), 0.0f);
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) {
        const float m = mask[y * size.width() + x];
        if (m == 0.0f) continue;
        for (std::size_t i = 0; i < k.weight.size(); ++i)
          across[y * out.width() + x + i] += m * k.weight[i];
      }
    std::vector<float> both(static_cast<std::size_t>(out.width()) * out.height(), 0.0f);
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < out.width(); ++x) {
        const float m = across[y * out.width() + x];
        if (m == 0.0f) continue;
        for (std::size_t i = 0; i < k.weight.size(); ++i)
          both[(y + i) * out.width() + x] += m * k.weight[i];
      }
    for (float& v : both) v = std::min(v, 1.0f);
    image = tinted(both, out, kShadowR, kShadowG, kShadowB, kShadowOpacity);
  }
  return cache.emplace(key, std::move(image)).first->second;
}

// Two layers of one colour, each at its level, pixel by pixel the darker;
// what both cover at least at the shared level.
QImage combined(const QImage& a, float la, const QImage& b, float lb, float shared) {
  QImage out(a.size(), QImage::Format_ARGB32_Premultiplied);
  auto weight = [](float level) { return static_cast<int>(std::lround(level * 256)); };
  const int wa = weight(la), wb = weight(lb), ws = weight(shared);
  for (int y = 0; y < a.height(); ++y) {
    const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    auto* po = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      auto ch = [&](int (*f)(QRgb)) {
        const int ca = f(pa[x]), cb = f(pb[x]);
        return std::max({ca * wa >> 8, cb * wb >> 8, std::min(ca, cb) * ws >> 8});
      };
      po[x] = qRgba(ch(qRed), ch(qGreen), ch(qBlue), ch(qAlpha));
    }
  }
  return out;
}

void drawLayers(QPainter& painter, Kind kind, const QRect& rect, const SegmentLayers& layers,
                double scale) {
  const bool now = layers.picture && layers.level > 0;
  const bool before = layers.leaving && layers.leavingLevel > 0;
  if (!now && !before) return;
  QPoint at = rect.topLeft();
  if (kind == Kind::Shadow) at += QPoint(kernelFor(scale).lo, kernelFor(scale).lo);
  const QImage* a = now ? &made(kind, *layers.picture, rect.size(), scale) : nullptr;
  const QImage* b = before ? &made(kind, *layers.leaving, rect.size(), scale) : nullptr;
  painter.save();
  if (a && b) {
    // Both are made at the element's size.
    painter.drawImage(at, combined(*a, layers.level, *b, layers.leavingLevel, layers.sharedLevel));
  } else {
    painter.setOpacity(a ? layers.level : layers.leavingLevel);
    painter.drawImage(at, a ? *a : *b);
  }
  painter.restore();
}

}  // namespace

QRect segmentPaintRect(const QRect& rect, double scale) {
  const Kernel& k = kernelFor(scale);
  return rect.adjusted(std::min(k.lo, 0), std::min(k.lo, 0), std::max(k.hi(), 0),
                       std::max(k.hi(), 0));
}

void drawSegmentShadow(QPainter& painter, const QRect& rect, const SegmentLayers& layers,
                       double scale) {
  drawLayers(painter, Kind::Shadow, rect, layers, scale);
}

void drawSegmentInk(QPainter& painter, const QRect& rect, const SegmentLayers& layers,
                    double scale) {
  drawLayers(painter, Kind::Ink, rect, layers, scale);
}

void drawGlass(QPainter& painter, const QRect& screen, double scale) {
  using Key = std::tuple<int, int, int>;
  static std::map<Key, QImage> cache;
  const Key key{screen.width(), screen.height(), static_cast<int>(std::lround(scale * 1000))};
  auto it = cache.find(key);
  if (it == cache.end()) {
    // Two soft bands across the diagonal, as a window pane catches a lamp:
    // a broad one high on the left and a narrow one after it.
    QImage sheen(screen.size(), QImage::Format_ARGB32_Premultiplied);
    const double span = screen.width() + screen.height();
    for (int y = 0; y < screen.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(sheen.scanLine(y));
      for (int x = 0; x < screen.width(); ++x) {
        const double t = (x + y) / span;
        const double broad = (t - 0.30) / 0.12, narrow = (t - 0.53) / 0.04;
        const double alpha = 0.11 * std::exp(-broad * broad) + 0.06 * std::exp(-narrow * narrow);
        const int a = static_cast<int>(std::lround(alpha * 255));
        line[x] = qRgba(a, a, a, a);
      }
    }
    it = cache.emplace(key, std::move(sheen)).first;
  }
  painter.drawImage(screen.topLeft(), it->second);
}

}  // namespace cantiere
