// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_placement.h"

#include <algorithm>
#include <cmath>

#include "common/view/window_placement.h"

namespace cantiere {

void PagePlacement::setViewport(double cssWidth, double cssHeight, double deviceRatio,
                                int zoomPercent) {
  dpr_ = std::isfinite(deviceRatio) && deviceRatio > 0 ? deviceRatio : 1.0;
  const double zoom = ViewScale::validZoom(zoomPercent) / 100.0;
  // Smaller than the size chosen only where the viewport needs it.
  double fit = 1.0;
  if (cssWidth > 0 && cssHeight > 0)
    fit = std::min({1.0, cssWidth / (kCaseWidth * zoom), cssHeight / (kCaseHeight * zoom)});
  view_ = ViewScale(zoomPercent, dpr_ * fit);
  const double cssPerPixel = view_.deviceScale() / dpr_;
  screen_ = {std::max(1, static_cast<int>(cssWidth / cssPerPixel)),
             std::max(1, static_cast<int>(cssHeight / cssPerPixel))};
  follow(model_, false);
}

void PagePlacement::follow(const WindowGeometry& model, bool dragging) {
  model_ = model;
  if (dragging) return;
  const Rect at{model.left, model.top, model.width, model.height};
  const Rect inside = keptInside(at, {0, 0, screen_.width, screen_.height});
  offsetX_ = inside.left - at.left;
  offsetY_ = inside.top - at.top;
}

Rect PagePlacement::shown() const {
  return {model_.left + offsetX_, model_.top + offsetY_, model_.width, model_.height};
}

Rect PagePlacement::deviceRect() const { return view_.toDevice(shown()); }

bool PagePlacement::bufferPoint(double cssX, double cssY, int& x, int& y) const {
  const Rect r = deviceRect();
  x = static_cast<int>(std::floor(cssX * dpr_)) - r.left;
  y = static_cast<int>(std::floor(cssY * dpr_)) - r.top;
  return x >= 0 && y >= 0 && x < r.width && y < r.height;
}

CataloguePoint PagePlacement::clientPoint(double cssX, double cssY) const {
  const Rect r = deviceRect();
  return {view_.deviceToCatalogue(static_cast<int>(std::floor(cssX * dpr_)) - r.left),
          view_.deviceToCatalogue(static_cast<int>(std::floor(cssY * dpr_)) - r.top)};
}

CataloguePoint PagePlacement::heldInside(CataloguePoint client, const Rect& element, int dragX,
                                         int dragY) const {
  // The model moves its window by the pointer's distance from the press:
  // new left = left + (x - element.left) - dragX. Shown, that must lie
  // within [0, screen - width]; where the case is larger than the screen,
  // at 0.
  const auto held = [](int value, int low, int high) { return std::max(low, std::min(value, std::max(low, high))); };
  const Rect s = shown();
  const int lowX = element.left + dragX - s.left, lowY = element.top + dragY - s.top;
  return {held(client.x, lowX, lowX + screen_.width - s.width),
          held(client.y, lowY, lowY + screen_.height - s.height)};
}

}  // namespace cantiere
