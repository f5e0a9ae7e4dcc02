// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the window's LCD segments moving while any of them is between lit
// and dark: a frame timer at about 60 Hz that runs only then and repaints
// only the segments that moved, so a handheld at rest wakes nothing.
#pragma once

#include <QTimer>
#include <functional>
#include <optional>

#include "common/lcd/lcd_response.h"
#include "render/compositor.h"

namespace cantiere {

class LcdAnimator {
 public:
  static constexpr int kFrameMs = 16;
  using Clock = std::function<Millis()>;
  // Asks for an element to be drawn again; `withShadow` when the effects are
  // on and it is an LCD segment, whose shadow reaches beyond it.
  using Repaint = std::function<void(Element e, bool withShadow)>;

  // `frameClock` gives the virtual instant a frame shows.
  LcdAnimator(const Surface& surface, Clock frameClock, Repaint repaint);

  bool enabled() const { return enabled_; }
  // Off, segments switch at once and no frame timer runs.
  void setEnabled(bool on);

  // The model's changes, stamped with the virtual instant they happened at.
  void litChanged(Element e, bool lit, Millis at);
  void pictureChanged(Element e, Millis at);

  // One frame: repaints every segment that moved since the last one, and
  // asks for the next while any still moves.
  void step();
  bool running() const { return timer_.isActive(); }

  // How the window draws the LCD now; unset with the effects off.
  std::optional<LcdLook> look() const;

  // Tests and tools draw the window at a chosen virtual instant.
  void setFrameClock(Clock frameClock) { frameClock_ = std::move(frameClock); }
  // Follows another surface (a replay's), its segments settled as they
  // are, its frames on `frameClock`; the caller repaints everything.
  void follow(const Surface& surface, Clock frameClock);

 private:
  void repaint(Element e) { repaint_(e, enabled_ && isLcd(e)); }
  void startFrames();

  const Surface* surface_;
  LcdResponse response_;
  Clock frameClock_;
  Repaint repaint_;
  QTimer timer_;
  bool enabled_ = true;
  Millis lastFrame_ = 0;
};

}  // namespace cantiere
