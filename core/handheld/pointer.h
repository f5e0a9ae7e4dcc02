// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse input over the handheld window: hit testing over the catalogue,
// capture by the pressed element, clicks, and the element handlers they
// reach. The desktop window and the scripted driver both feed this one
// class, so a click means the same in both.
#pragma once

#include "core/handheld/handheld.h"

namespace cantiere {

// The topmost shown element whose rectangle holds the client point, or
// NoElement. A shown element takes the mouse over its whole rectangle, with
// or without a picture.
Element hitTest(const Surface& surface, int x, int y);

// Whether a left press on the element may drag the window: the case and
// its screens.
bool isDragSurface(Element e);

// The element's hint text and whether it shows the help cursor (else the
// hand), for elements that have a hint; nullptr otherwise.
struct ElementHint {
  const char* text;
  bool helpCursor;
};
const ElementHint* hintOf(Element e);

// Pointer positions lie within this many pixels of the window on either
// side; further ones are taken as this far. No screen is that large, and it
// keeps the arithmetic of a drag well within 32 bits.
constexpr int kPointerRange = 1'000'000;

class Pointer {
 public:
  explicit Pointer(Handheld& handheld) : h_(handheld) {}

  // Client coordinates of the handheld window.
  void press(int x, int y, MouseButton button);
  void move(int x, int y);
  void release(MouseButton button);
  // The button of the press now held (meaningful while captured()).
  MouseButton heldButton() const { return capturedButton_; }

  Element captured() const { return captured_; }
  int x() const { return x_; }
  int y() const { return y_; }

 private:
  void deliverMove(Element e, int x, int y);

  Handheld& h_;
  Element captured_ = NoElement;
  MouseButton capturedButton_ = MouseButton::Left;
  bool dragged_ = false;
  int x_ = 0, y_ = 0;
};

}  // namespace cantiere
