// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/lcd/lcd_frames.h"

namespace cantiere {

LcdFrames::LcdFrames(const Surface& surface, Repaint repaint)
    : surface_(&surface), response_(surface), repaint_(std::move(repaint)) {}

bool LcdFrames::setEnabled(bool on) {
  if (on == enabled_) return false;
  enabled_ = on;
  return on;  // whatever is still under way goes on from here
}

bool LcdFrames::litChanged(Element e, bool lit, Millis at) {
  response_.litChanged(e, lit, at);
  repaint(e);
  return enabled_ && isLcd(e);
}

bool LcdFrames::pictureChanged(Element e, Millis at) {
  response_.pictureChanged(e, surface_->picture(e), at);
  if (enabled_ && isLcd(e)) {
    if (!response_.inTransition(e, at)) return false;
    repaint(e);
    return true;
  }
  // A dark element's new picture shows only once it is lit, which repaints.
  if (surface_->lit(e)) repaint(e);
  return false;
}

void LcdFrames::follow(const Surface& surface, Millis now) {
  surface_ = &surface;
  response_ = LcdResponse(surface);
  lastFrame_ = now;
}

bool LcdFrames::step(Millis now) {
  if (!enabled_) return false;
  // A segment that settled since the last frame still needs its last one.
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (isLcd(e) && response_.settlesAt(e) > lastFrame_) repaint(e);
  }
  // Time standing still (a replay held at its end) moves nothing more.
  const bool moved = now != lastFrame_;
  lastFrame_ = now;
  return moved && now < response_.settledAt();
}

}  // namespace cantiere
