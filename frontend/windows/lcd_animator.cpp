// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/lcd_animator.h"

namespace cantiere {

LcdAnimator::LcdAnimator(const Surface& surface, Clock frameClock, Repaint repaint)
    : frames_(surface, std::move(repaint)), frameClock_(std::move(frameClock)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
}

void LcdAnimator::startFrames(bool wanted) {
  if (wanted && !timer_.isActive()) timer_.start(kFrameMs);
}

void LcdAnimator::setEnabled(bool on) {
  startFrames(frames_.setEnabled(on));
  if (!on) timer_.stop();
}

void LcdAnimator::litChanged(Element e, bool lit, Millis at) {
  startFrames(frames_.litChanged(e, lit, at));
}

void LcdAnimator::pictureChanged(Element e, Millis at) {
  startFrames(frames_.pictureChanged(e, at));
}

void LcdAnimator::follow(const Surface& surface, Clock frameClock) {
  frameClock_ = std::move(frameClock);
  timer_.stop();
  frames_.follow(surface, frameClock_());
}

void LcdAnimator::step() {
  if (!frames_.enabled()) return;
  if (frames_.step(frameClock_())) {
    timer_.start(kFrameMs);
  } else {
    timer_.stop();
  }
}

std::optional<LcdLook> LcdAnimator::look() const {
  if (!frames_.enabled()) return std::nullopt;
  return LcdLook{frames_.response(), frameClock_()};
}

}  // namespace cantiere
