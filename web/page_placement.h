// SPDX-License-Identifier: GPL-3.0-or-later
// Where the handheld lies on a page, with no browser: the page's viewport
// is its screen. The case is drawn at the chosen size, or smaller when the
// viewport is too small for it (a phone held upright), always in device
// pixels (CSS pixels times the device pixel ratio), so it is sharp at any
// ratio. The model keeps its catalogue coordinates: its window on the page
// is its own place plus an offset that keeps the case inside the viewport
// when the viewport shrinks, and a drag is held inside the viewport by
// where its pointer is taken to be.
#pragma once

#include "core/handheld/desktop.h"
#include "core/lcd/catalogue.h"
#include "common/view/view_scale.h"

namespace cantiere {

class PagePlacement {
 public:
  // The open case, which sets the size the page can show.
  static constexpr int kCaseWidth = 464, kCaseHeight = 571;

  // A viewport of `cssWidth` x `cssHeight` CSS pixels at `deviceRatio`,
  // the handheld at `zoomPercent` (a step of ViewScale) at most.
  void setViewport(double cssWidth, double cssHeight, double deviceRatio, int zoomPercent);
  const ViewScale& view() const { return view_; }
  double deviceRatio() const { return dpr_; }
  // The viewport in catalogue pixels: what the model takes as its screen.
  ScreenSize screen() const { return screen_; }

  // The model's window moved or changed size. `dragging` while a drag
  // moves it: the offset then stays as it is, else the case is kept
  // inside the viewport.
  void follow(const WindowGeometry& model, bool dragging);
  // Where the window's client area is shown, in catalogue pixels of the
  // viewport.
  Rect shown() const;
  // Its place and size in device pixels, and in CSS pixels.
  Rect deviceRect() const;
  double cssLeft() const { return deviceRect().left / dpr_; }
  double cssTop() const { return deviceRect().top / dpr_; }

  // A point of the viewport (CSS pixels) as a client point of the model's
  // window.
  CataloguePoint clientPoint(double cssX, double cssY) const;
  // The same point in device pixels of the window's buffer.
  bool bufferPoint(double cssX, double cssY, int& x, int& y) const;

  // A drag's client point moved where the window it drags stays inside the
  // viewport: `element` is the surface pressed, `dragX`, `dragY` the press
  // within it (the model's DragX, DragY).
  CataloguePoint heldInside(CataloguePoint client, const Rect& element, int dragX, int dragY) const;

 private:
  ViewScale view_;
  double dpr_ = 1.0;
  ScreenSize screen_{kCaseWidth, kCaseHeight};
  WindowGeometry model_{0, 0, 0, 0};
  int offsetX_ = 0, offsetY_ = 0;
};

}  // namespace cantiere
