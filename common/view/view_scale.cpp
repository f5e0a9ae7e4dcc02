// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/view/view_scale.h"

#include <algorithm>
#include <cmath>

namespace cantiere {
namespace {

int floorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int>(q);
}

}  // namespace

ViewScale::ViewScale(int zoomPercent, double deviceRatio)
    : zoom_(validZoom(zoomPercent)),
      ratio_(std::isfinite(deviceRatio) && deviceRatio >= 1.0 / 16 ? deviceRatio : 1.0) {}

int ViewScale::validZoom(std::int64_t percent) {
  for (int step : kZoomSteps)
    if (step == percent) return step;
  return 100;
}

int ViewScale::stepZoom(int percent, int direction) {
  const int at = static_cast<int>(std::find(kZoomSteps.begin(), kZoomSteps.end(), validZoom(percent)) -
                                  kZoomSteps.begin());
  const int next = std::clamp(at + (direction > 0) - (direction < 0), 0,
                              static_cast<int>(kZoomSteps.size()) - 1);
  return kZoomSteps[next];
}

int ViewScale::artScaleFor(double deviceScale) {
  if (!(deviceScale > 1.0)) return 1;
  // Between two sets, the larger, reduced: art enlarged goes soft.
  return std::min(kLargestArt, static_cast<int>(std::ceil(deviceScale - 1e-9)));
}

int ViewScale::toWindow(int c) const {
  // Exact in integers: zooms are whole percents.
  return floorDiv(static_cast<std::int64_t>(c) * zoom_ + 50, 100);
}

Rect ViewScale::toWindow(const Rect& r) const {
  const int left = toWindow(r.left), top = toWindow(r.top);
  return {left, top, toWindow(r.left + r.width) - left, toWindow(r.top + r.height) - top};
}

int ViewScale::toDevice(int c) const { return static_cast<int>(std::floor(c * deviceScale() + 0.5)); }

Rect ViewScale::toDevice(const Rect& r) const {
  const int left = toDevice(r.left), top = toDevice(r.top);
  return {left, top, toDevice(r.left + r.width) - left, toDevice(r.top + r.height) - top};
}

int ViewScale::deviceToCatalogue(int d) const {
  // The last catalogue edge at or before d; the estimate is off by at most
  // one either way through rounding.
  int c = static_cast<int>(std::floor((d + 0.5) / deviceScale()));
  while (toDevice(c) > d) --c;
  while (toDevice(c + 1) <= d) ++c;
  return c;
}

CataloguePoint ViewScale::windowToCatalogue(double x, double y) const {
  return {deviceToCatalogue(static_cast<int>(std::floor(x * ratio_))),
          deviceToCatalogue(static_cast<int>(std::floor(y * ratio_)))};
}

Rect ViewScale::catalogueCovering(const Rect& device) const {
  if (device.width <= 0 || device.height <= 0) return {device.left, device.top, 0, 0};
  const int left = deviceToCatalogue(device.left), top = deviceToCatalogue(device.top);
  return {left, top, deviceToCatalogue(device.left + device.width - 1) - left + 1,
          deviceToCatalogue(device.top + device.height - 1) - top + 1};
}

Rect ViewScale::deviceToWindow(const Rect& device) const {
  const int left = static_cast<int>(std::floor(device.left / ratio_));
  const int top = static_cast<int>(std::floor(device.top / ratio_));
  return {left, top, static_cast<int>(std::ceil((device.left + device.width) / ratio_)) - left,
          static_cast<int>(std::ceil((device.top + device.height) / ratio_)) - top};
}

Rect ViewScale::windowToDevice(const Rect& window) const {
  const int left = static_cast<int>(std::floor(window.left * ratio_));
  const int top = static_cast<int>(std::floor(window.top * ratio_));
  return {left, top, static_cast<int>(std::ceil((window.left + window.width) * ratio_)) - left,
          static_cast<int>(std::ceil((window.top + window.height) * ratio_)) - top};
}

}  // namespace cantiere
