// SPDX-License-Identifier: GPL-3.0-or-later
// Where the handheld's catalogue pixels land on the desktop at a zoom and on a
// screen of some device pixel ratio, and back. The painter, hit testing,
// dragging, hints and the window's size and place all map through this one
// class, so what is drawn and what is clicked cannot disagree. No toolkit:
// the model keeps its catalogue coordinates and never sees a zoom.
//
// Three spaces: catalogue pixels (the element table's), window pixels (the
// toolkit's logical pixels: catalogue x zoom) and device pixels (window x the
// screen's ratio). An edge at catalogue x lands at floor(x * scale + 0.5), so
// neighbouring elements share their edges at every scale.
#pragma once

#include <array>
#include <cstdint>

#include "core/lcd/catalogue.h"

namespace cantiere {

struct CataloguePoint {
  int x, y;
  bool operator==(const CataloguePoint&) const = default;
};

class ViewScale {
 public:
  // The sizes offered, in percent of the handheld's own.
  static constexpr std::array<int, 6> kZoomSteps{100, 150, 200, 250, 300, 400};
  // Art is made at 1x to 4x.
  static constexpr int kLargestArt = 4;

  ViewScale() = default;
  // `zoomPercent` outside the steps is taken as 100; a ratio below 1/16 as 1.
  ViewScale(int zoomPercent, double deviceRatio);

  // A stored zoom as the window uses it: one of the steps, else 100.
  static int validZoom(std::int64_t percent);
  // The step after (direction > 0) or before (< 0) `percent`, staying at the
  // ends.
  static int stepZoom(int percent, int direction);
  // The art drawn at a device scale: the whole scale, or between two the
  // larger of 1x to 4x, reduced rather than enlarged.
  static int artScaleFor(double deviceScale);

  int zoomPercent() const { return zoom_; }
  double zoom() const { return zoom_ / 100.0; }
  double ratio() const { return ratio_; }
  // Device pixels per catalogue pixel.
  double deviceScale() const { return zoom() * ratio_; }
  int artScale() const { return artScaleFor(deviceScale()); }
  // True when a catalogue pixel is a whole number of device pixels, so the
  // art of that scale is drawn as it is.
  bool exactArt() const { return deviceScale() == artScale(); }

  // Catalogue -> window pixels.
  int toWindow(int c) const;
  Rect toWindow(const Rect& r) const;
  // Catalogue -> device pixels.
  int toDevice(int c) const;
  Rect toDevice(const Rect& r) const;

  // The catalogue pixel a device pixel shows.
  int deviceToCatalogue(int d) const;
  // The catalogue pixel under a point of the window (fractional where the
  // ratio is).
  CataloguePoint windowToCatalogue(double x, double y) const;
  // Every catalogue pixel a device rectangle touches.
  Rect catalogueCovering(const Rect& device) const;
  // A device rectangle in window pixels and back, rounded outwards.
  Rect deviceToWindow(const Rect& device) const;
  Rect windowToDevice(const Rect& window) const;

 private:
  int zoom_ = 100;
  double ratio_ = 1.0;
};

}  // namespace cantiere
