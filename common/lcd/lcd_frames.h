// SPDX-License-Identifier: GPL-3.0-or-later
// When a front end draws the LCD again: every change repaints its element
// at once, and while any segment is between lit and dark (with the effects
// on) frames follow, each repainting only the segments that moved since the
// frame before, until the last one settles. When nothing moves no frame is
// asked for, so a handheld at rest wakes nothing. The front end owns the
// timer (a toolkit's, a browser's animation frame); this says when to run
// it and what to paint.
#pragma once

#include <functional>

#include "common/lcd/lcd_response.h"

namespace cantiere {

class LcdFrames {
 public:
  // About 60 a second, as a display refreshes.
  static constexpr Millis kFrameMs = 16;
  // Asks for an element to be drawn again; `withShadow` when the effects
  // are on and it is an LCD segment, whose shadow reaches beyond it.
  using Repaint = std::function<void(Element e, bool withShadow)>;

  LcdFrames(const Surface& surface, Repaint repaint);

  bool enabled() const { return enabled_; }
  // Off, segments switch at once and no frames are asked for; on again,
  // whatever is still under way goes on from `now`.
  void setEnabled(bool on, Millis now);

  // The model's changes, stamped with the virtual instant they happened at.
  void litChanged(Element e, bool lit, Millis at);
  void pictureChanged(Element e, Millis at);

  // True while a frame is wanted (the front end's timer runs).
  bool running() const { return running_; }
  // One frame showing the instant `now`: repaints every segment that moved
  // since the last one; running() says whether another follows.
  void step(Millis now);

  // Follows another surface (a replay's), its segments settled as they
  // are; the caller repaints everything.
  void follow(const Surface& surface, Millis now);

  const LcdResponse& response() const { return response_; }

 private:
  void repaint(Element e) { repaint_(e, enabled_ && isLcd(e)); }
  void start() {
    running_ = true;
    changed_ = true;
  }

  const Surface* surface_;
  LcdResponse response_;
  Repaint repaint_;
  bool enabled_ = true;
  bool running_ = false;
  bool changed_ = false;  // since the last frame
  Millis lastFrame_ = 0;
};

}  // namespace cantiere
