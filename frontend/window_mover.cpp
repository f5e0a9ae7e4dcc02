// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/window_mover.h"

#include <QWidget>

#include "frontend/x11_window.h"

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
  if (refused_) {
    // A drag is the window manager's now; anything else is remade in place.
    if (!byDrag && origin && *origin != g.topLeft() && remake) remake(g);
    return;
  }
  window_.move(g.topLeft());
  if (origin && !settle_.isActive()) {
    before_ = *origin;
    settle_.start(kSettle);
  }
}

void WindowMover::check() {
  const auto origin = x11::clientOrigin(&window_);
  if (!origin || !window_.isVisible()) return;
  // A slow window manager has moved it part of the way at least; one that
  // refuses has left it exactly where it was.
  if (*origin != before_ || *origin == target_.topLeft()) return;
  refused_ = true;
  if (refused) refused();
}

}  // namespace cantiere
