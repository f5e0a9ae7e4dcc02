// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/lcd_animator.h"

namespace cantiere {

LcdAnimator::LcdAnimator(const Surface& surface, Clock frameClock, Repaint repaint)
    : frames_(surface, std::move(repaint)), frameClock_(std::move(frameClock)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
}

void LcdAnimator::follow(const Surface& surface, Clock frameClock) {
  frameClock_ = std::move(frameClock);
  frames_.follow(surface, frameClock_());
  sync();
}

void LcdAnimator::sync() {
  // The rule says whether frames run; the timer only carries them out.
  if (!frames_.running()) {
    timer_.stop();
  } else if (!timer_.isActive()) {
    timer_.start(kFrameMs);
  }
}

void LcdAnimator::setEnabled(bool on) {
  frames_.setEnabled(on, frameClock_());
  sync();
}

void LcdAnimator::litChanged(Element e, bool lit, Millis at) {
  frames_.litChanged(e, lit, at);
  sync();
}

void LcdAnimator::pictureChanged(Element e, Millis at) {
  frames_.pictureChanged(e, at);
  sync();
}

void LcdAnimator::step() {
  frames_.step(frameClock_());
  timer_.stop();
  sync();
}

std::optional<LcdLook> LcdAnimator::look() const {
  if (!frames_.enabled()) return std::nullopt;
  return LcdLook{frames_.response(), frameClock_()};
}

}  // namespace cantiere
