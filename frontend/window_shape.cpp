// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/window_shape.h"

#include <QBitmap>
#include <algorithm>
#include <vector>

namespace cantiere {
namespace {

// Darker than this in every channel counts as background: the photographs
// are JPEGs, so their black background is not exactly black, while the
// darkest edge of the case stays well above it.
constexpr int kBackground = 40;

bool isBackground(QRgb c) {
  if (qAlpha(c) < 128) return true;
  return std::max({qRed(c), qGreen(c), qBlue(c)}) < kBackground;
}

}  // namespace

QRegion caseOutline(const QImage& picture) {
  if (picture.isNull()) return {};
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  const int w = image.width(), h = image.height();
  // Flood the background in from every edge pixel; what is not reached is
  // the case, dark parts inside it included.
  std::vector<char> outside(static_cast<std::size_t>(w) * h, 0);
  std::vector<int> todo;
  auto visit = [&](int x, int y) {
    const std::size_t i = static_cast<std::size_t>(y) * w + x;
    if (outside[i] || !isBackground(image.pixel(x, y))) return;
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
  QImage mask(w, h, QImage::Format_MonoLSB);
  mask.setColor(0, qRgb(255, 255, 255));
  mask.setColor(1, qRgb(0, 0, 0));
  mask.fill(0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (!outside[static_cast<std::size_t>(y) * w + x]) mask.setPixel(x, y, 1);
  return QRegion(QBitmap::fromImage(mask));
}

}  // namespace cantiere
