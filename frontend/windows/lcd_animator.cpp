// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/lcd_animator.h"

namespace cantiere {

LcdAnimator::LcdAnimator(const Surface& surface, Clock frameClock, Repaint repaint)
    : surface_(&surface),
      response_(surface),
      frameClock_(std::move(frameClock)),
      repaint_(std::move(repaint)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
}

void LcdAnimator::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (on) {
    startFrames();  // whatever is still under way goes on from here
  } else {
    timer_.stop();
  }
}

void LcdAnimator::litChanged(Element e, bool lit, Millis at) {
  response_.litChanged(e, lit, at);
  repaint(e);
  if (enabled_ && isLcd(e)) startFrames();
}

void LcdAnimator::pictureChanged(Element e, Millis at) {
  response_.pictureChanged(e, surface_->picture(e), at);
  if (enabled_ && isLcd(e)) {
    if (!response_.inTransition(e, at)) return;
    repaint(e);
    startFrames();
  } else if (surface_->lit(e)) {
    // A dark element's new picture shows only once it is lit, which repaints.
    repaint(e);
  }
}

void LcdAnimator::follow(const Surface& surface, Clock frameClock) {
  surface_ = &surface;
  response_ = LcdResponse(surface);
  frameClock_ = std::move(frameClock);
  timer_.stop();
  lastFrame_ = frameClock_();
}

void LcdAnimator::startFrames() {
  if (!timer_.isActive()) timer_.start(kFrameMs);
}

void LcdAnimator::step() {
  if (!enabled_) return;
  const Millis now = frameClock_();
  // A segment that settled since the last frame still needs its last one.
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (isLcd(e) && response_.settlesAt(e) > lastFrame_) repaint(e);
  }
  // Time standing still (a replay held at its end) moves nothing more.
  const bool moved = now != lastFrame_;
  lastFrame_ = now;
  if (moved && now < response_.settledAt()) {
    timer_.start(kFrameMs);
  } else {
    timer_.stop();
  }
}

std::optional<LcdLook> LcdAnimator::look() const {
  if (!enabled_) return std::nullopt;
  return LcdLook{response_, frameClock_()};
}

}  // namespace cantiere
