// SPDX-License-Identifier: GPL-3.0-or-later
// The frames of the LCD's motion, for any front end: which segments must be
// drawn again as the model changes them and while they darken and fade, and
// whether another frame is due. A front end steps it about 60 times a
// second while it asks for frames, and not at all otherwise, so a handheld
// at rest wakes nothing. Off, segments switch at once and no frame is asked
// for.
#pragma once

#include <functional>

#include "common/lcd/lcd_response.h"

namespace cantiere {

class LcdFrames {
 public:
  static constexpr Millis kFrameMs = 16;
  // Asks for an element to be drawn again; `withShadow` when the effects are
  // on and it is an LCD segment, whose shadow reaches beyond it.
  using Repaint = std::function<void(Element e, bool withShadow)>;

  LcdFrames(const Surface& surface, Repaint repaint);

  bool enabled() const { return enabled_; }
  // True when frames are to run from now.
  bool setEnabled(bool on);

  // The model's changes, stamped with the virtual instant they happened
  // at; true when frames are to run from now.
  bool litChanged(Element e, bool lit, Millis at);
  bool pictureChanged(Element e, Millis at);

  // One frame at the virtual instant `now`: repaints every segment that
  // moved since the last one; true while another is due.
  bool step(Millis now);

  // Follows another surface (a replay's), its segments settled as they
  // are, from `now`; the caller repaints everything.
  void follow(const Surface& surface, Millis now);

  const LcdResponse& response() const { return response_; }

 private:
  void repaint(Element e) { repaint_(e, enabled_ && isLcd(e)); }

  const Surface* surface_;
  LcdResponse response_;
  Repaint repaint_;
  bool enabled_ = true;
  Millis lastFrame_ = 0;
};

}  // namespace cantiere
