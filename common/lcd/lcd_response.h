// SPDX-License-Identifier: GPL-3.0-or-later
// How far each LCD segment has darkened or faded at a virtual instant. A
// twisted-nematic cell does not switch in one frame: it darkens in about
// 40 ms and fades in about 120 ms, slowing as it settles. The model never
// sees this; the front end stamps every change with the virtual time it
// happened at and asks for the blend when it draws. Toolkit-free, so the
// window and the driver's snapshot share it and agree to the pixel.
#pragma once

#include <array>

#include "core/lcd/surface.h"
#include "core/timing/scheduler.h"

namespace cantiere {

// How much of a picture's ink shows: 0 none, 1 fully dark.
struct SegmentBlend {
  Element picture = NoElement;  // the picture the element holds now
  float level = 0;
  // The picture it held before its last picture change, fading out.
  Element leaving = NoElement;
  float leavingLevel = 0;
  // Where the two pictures share a pixel (the strokes two digits have in
  // common) the segment never switched: it goes on from where it was.
  float sharedLevel = 0;
};

class LcdResponse {
 public:
  static constexpr Millis kDarken = 40;
  static constexpr Millis kFade = 120;

  // Every element settled in the state `surface` shows now.
  explicit LcdResponse(const Surface& surface);

  // Told at every real change, with the virtual instant it happened at.
  // Elements that are not LCD segments switch at once and are not kept.
  void litChanged(Element e, bool lit, Millis at);
  void pictureChanged(Element e, Element picture, Millis at);

  SegmentBlend blend(Element e, Millis now) const;
  // True while `e` is still darkening or fading at `now`.
  bool inTransition(Element e, Millis now) const { return now < cells_[e].settlesAt; }
  // The instant the last transition under way ends; nothing moves from then.
  Millis settledAt() const { return settledAt_; }
  // The instant `e`'s own transition ends (earlier than now: settled).
  Millis settlesAt(Element e) const { return cells_[e].settlesAt; }

  // The level of a segment `dt` ms after it began to darken from `from`, or
  // to fade from `from`.
  static float darkened(float from, Millis dt);
  static float faded(float from, Millis dt);

 private:
  struct Cell {
    bool lit = false;
    Element picture = NoElement;
    Millis since = 0;  // last change of `lit` or of the picture
    float from = 0;    // the level then
    Element leaving = NoElement;
    Millis leavingSince = 0;
    float leavingFrom = 0;
    Millis settlesAt = 0;
  };
  float level(const Cell& c, Millis now) const;
  void settleAt(Cell& c, Millis at);

  std::array<Cell, ElementCount> cells_{};
  Millis settledAt_ = 0;
};

}  // namespace cantiere
