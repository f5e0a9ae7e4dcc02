// SPDX-License-Identifier: GPL-3.0-or-later
// Where the handheld window lies on the desktop, and how it gets there: the
// model's window scaled by the zoom and kept on the monitor the case is on
// (common/view's WindowPlacement), carried to the screen by a WindowMover
// in a way the window manager honours. Where the compositor places windows
// itself (and centres each change of size), the window stays as tall as the
// open case and the closed case lies at its bottom, so the lid still opens
// upwards without a resize.
#pragma once

#include <QRect>
#include <functional>

#include "common/view/window_placement.h"
#include "frontend/windows/window_mover.h"

class QWidget;

namespace cantiere {

class HandheldPlacer {
 public:
  // `reshape` shapes the window like the case it shows, once it is placed.
  HandheldPlacer(QWidget& window, std::function<void()> reshape);

  // The monitors, the primary first, whose usable areas the window is kept
  // inside when the program places it (window pixels); by default the
  // screens Qt knows.
  std::function<Monitors()> monitors;
  Monitors monitorList() const;
  // The monitor the case is on (the primary while it waits for PLAY).
  std::optional<Monitor> monitorHere() const;

  // Follows the model's window at a zoom.
  void place(const WindowGeometry& g, const ViewScale& view);
  // Puts the window's case at `r` (window pixels).
  void moveTo(const Rect& r, const ViewScale& view);
  // Whether the window is carried now, by a drag or by the window manager's
  // own move: the mover then never makes it anew.
  std::function<bool()> carried;
  // The same case at another zoom: same fold line, same middle.
  void rezoom(const WindowGeometry& model, const ViewScale& view);

  WindowPlacement& placement() { return placement_; }
  const WindowPlacement& placement() const { return placement_; }
  WindowMover& mover() { return mover_; }

  // Window pixels from the window's top to the case's (a tall window's
  // closed case); and the height of the model's window last placed.
  int caseTop() const { return caseTop_; }
  int placedHeight() const { return placedHeight_; }

  // Another program's window (a replay's) is placed on its own; the
  // handheld's placement, drags and offsets included, waits for its return.
  void lend();
  void takeBack();

 private:
  QWidget& window_;
  std::function<void()> reshape_;
  WindowPlacement placement_;
  WindowPlacement own_;
  WindowMover mover_;
  bool tall_ = false;
  int caseTop_ = 0;
  int placedHeight_ = 0;
  WindowGeometry lastModel_{};  // the model's window as last followed
};

}  // namespace cantiere
