// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/window_mover.h"

#include <QWidget>
#include <climits>
#include <utility>

#include "frontend/x11/x11_window.h"

namespace cantiere {

WindowMover::WindowMover(QWidget& window) : window_(window) {
  settle_.setSingleShot(true);
  connect(&settle_, &QTimer::timeout, this, [this] { check(); });
}

void WindowMover::place(const QRect& g, bool byDrag) {
  target_ = g;
  if (window_.size() != g.size()) window_.setFixedSize(g.size());
  if (!window_.isVisible()) {
    // The client area's place, not the frame's: move() on a window not yet
    // made would be taken as its frame's, and Qt would shift it by the
    // frame it last saw (Weston's shadow margin), asking for the wrong place
    // just before the window is first mapped.
    window_.setGeometry(g);
    return;
  }
  const auto origin = x11::clientOrigin(&window_);
  if (placed_) {
    if (origin && !settle_.isActive()) watch(*origin);
    return;
  }
  if (refused_) {
    // A drag is the window manager's now; anything else is remade in place.
    if (!byDrag && origin && *origin != g.topLeft() && remake) remake(g);
    return;
  }
  window_.move(g.topLeft());
  askedAgain_ = false;
  if (origin && !settle_.isActive()) watch(*origin);
}

void WindowMover::shown() {
  target_ = window_.geometry();
  newWindow_ = true;
  askedAgain_ = false;
  // Where it was asked to appear counts as where it was: a window manager
  // that puts a new window elsewhere holds it there.
  if (!settle_.isActive()) watch(target_.topLeft());
}

void WindowMover::watch(const QPoint& from) {
  before_ = from;
  lastSeen_ = QPoint(INT_MIN, INT_MIN);
  settle_.start(kSettle);
}

void WindowMover::check() {
  const auto origin = x11::clientOrigin(&window_);
  if (!origin || !window_.isVisible()) return;
  if (*origin != lastSeen_) {
    // Still on its way (a slow window manager, or a drag going on).
    lastSeen_ = *origin;
    settle_.start(kSettle);
    return;
  }
  const bool newWindow = std::exchange(newWindow_, false);
  if (*origin == target_.topLeft()) return;
  if (newWindow && !placed_) {
    window_.move(target_.topLeft());
    watch(*origin);
    return;
  }
  if (!placed_ && !std::exchange(askedAgain_, true)) {
    // A busy window manager may rest a moment short of the place, or not
    // have begun: it is asked once more before its answer is believed. A
    // compositor that places windows is never asked.
    window_.move(target_.topLeft());
    settle_.start(kSettle);
    return;
  }
  if (!placed_ && *origin == before_ && before_ != target_.topLeft() && reachable &&
      reachable(target_)) {
    refused_ = true;
    if (refused) refused();
    return;
  }
  if (held) held(*origin);
}

}  // namespace cantiere
