// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the window's LCD segments moving while any of them is between lit
// and dark: common/lcd's LcdFrames on a frame timer at about 60 Hz that
// runs only then, so a handheld at rest wakes nothing.
#pragma once

#include <QTimer>
#include <functional>
#include <optional>

#include "common/lcd/lcd_frames.h"
#include "render/compositor.h"

namespace cantiere {

class LcdAnimator {
 public:
  static constexpr int kFrameMs = LcdFrames::kFrameMs;
  using Clock = std::function<Millis()>;
  using Repaint = LcdFrames::Repaint;

  // `frameClock` gives the virtual instant a frame shows.
  LcdAnimator(const Surface& surface, Clock frameClock, Repaint repaint);

  bool enabled() const { return frames_.enabled(); }
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
  void sync();

  LcdFrames frames_;
  Clock frameClock_;
  QTimer timer_;
};

}  // namespace cantiere
