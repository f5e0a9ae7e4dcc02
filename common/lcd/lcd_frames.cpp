// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/lcd/lcd_frames.h"

namespace cantiere {

LcdFrames::LcdFrames(const Surface& surface, Repaint repaint)
    : surface_(&surface), response_(surface), repaint_(std::move(repaint)) {}

void LcdFrames::setEnabled(bool on, Millis now) {
  if (on == enabled_) return;
  enabled_ = on;
  running_ = on && now < response_.settledAt();
}

void LcdFrames::litChanged(Element e, bool lit, Millis at) {
  response_.litChanged(e, lit, at);
  repaint(e);
  if (enabled_ && isLcd(e)) start();
}

void LcdFrames::pictureChanged(Element e, Millis at) {
  response_.pictureChanged(e, surface_->picture(e), at);
  if (enabled_ && isLcd(e)) {
    if (!response_.inTransition(e, at)) return;
    repaint(e);
    start();
  } else if (surface_->lit(e)) {
    // A dark element's new picture shows only once it is lit, which repaints.
    repaint(e);
  }
}

void LcdFrames::follow(const Surface& surface, Millis now) {
  surface_ = &surface;
  response_ = LcdResponse(surface);
  running_ = false;
  lastFrame_ = now;
}

void LcdFrames::step(Millis now) {
  if (!enabled_) {
    running_ = false;
    return;
  }
  // A segment that settled since the last frame still needs its last one.
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (isLcd(e) && response_.settlesAt(e) > lastFrame_) repaint(e);
  }
  // Time standing still (a replay held at its end) moves nothing more;
  // but a frame drawn in the very millisecond of a change is not the last.
  const bool moved = now != lastFrame_ || changed_;
  changed_ = false;
  lastFrame_ = now;
  running_ = moved && now < response_.settledAt();
}

}  // namespace cantiere
