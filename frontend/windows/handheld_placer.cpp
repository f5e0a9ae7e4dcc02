// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/handheld_placer.h"

#include <QWidget>
#include <utility>

#include "frontend/pictures/picture_set.h"
#include "frontend/windows/window_system.h"

namespace cantiere {

HandheldPlacer::HandheldPlacer(QWidget& window, std::function<void()> reshape)
    : window_(window), reshape_(std::move(reshape)), mover_(window) {
  if (compositorPlacesWindows()) {
    mover_.placedByCompositor();
    tall_ = true;
  }
  mover_.reachable = [this](const QRect& g) {
    for (const Monitor& m : monitorList())
      if (toQRect(m.usable).contains(g)) return true;
    return false;
  };
  mover_.held = [this](const QPoint& at) { placement_.heldAt(at.x(), at.y() + caseTop_); };
}

Monitors HandheldPlacer::monitorList() const { return monitors ? monitors() : qtMonitors(); }

std::optional<Monitor> HandheldPlacer::monitorHere() const {
  const Monitors list = monitorList();
  if (list.empty()) return std::nullopt;
  // Until PLAY the case waits off screen; PLAY puts it on the primary.
  if (placement_.parked()) return list.front();
  return *monitorOf(placement_.rect(), list);
}

void HandheldPlacer::place(const WindowGeometry& g, const ViewScale& view) {
  // The shape is the case placed, which is a replay's while one shows.
  placedHeight_ = g.height;
  const WindowGeometry before = std::exchange(lastModel_, g);
  const Rect& r = placement_.follow(g, view, monitorList());
  // The first half of the lid's opening changes nothing in a tall window:
  // the move up that follows shows the open case where it was.
  if (tall_ && caseTop_ && r.height > before.height && g.top == before.top) return;
  moveTo(r, view);
}

void HandheldPlacer::moveTo(const Rect& r, const ViewScale& view) {
  const int top = caseTop_;
  caseTop_ = tall_ ? std::max(0, view.toWindow(info(Im_Base).rect.height) - r.height) : 0;
  reshape_();
  if (caseTop_ != top) window_.update();
  // No frame: the window's position is its client area's.
  mover_.place(QRect(r.left, r.top - caseTop_, r.width, r.height + caseTop_), carried && carried());
}

void HandheldPlacer::rezoom(const WindowGeometry& model, const ViewScale& view) {
  moveTo(placement_.rezoom(model, view, monitorList()), view);
}

void HandheldPlacer::lend() { own_ = placement_; }

void HandheldPlacer::takeBack() { placement_ = own_; }

}  // namespace cantiere
