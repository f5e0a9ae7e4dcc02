// SPDX-License-Identifier: GPL-3.0-or-later
// Dragging the handheld by its case or its screens, and what the mouse's
// events mean to the model meanwhile. The model moves its window a
// catalogue pixel at a time; the window follows the pointer pixel for pixel.
// Where the window manager refuses a shown window's moves (Weston, for X11
// programs), a drag is handed to its own move and the model learns where the
// window ended; any other move makes the window anew where it belongs (the
// mover's `remake`, which the window gives it). Where the compositor places
// windows (sway), its move takes hold of the window where the pointer is
// when the move begins, so a press on the open case hands it over at once.
#pragma once

#include <QPointF>

#include "common/input/model_input.h"
#include "core/launcher/program.h"
#include "frontend/windows/handheld_placer.h"

class QEnterEvent;
class QMouseEvent;
class QWidget;

namespace cantiere {

class CaseDrag {
 public:
  CaseDrag(QWidget& window, Program& program, ModelInput& input, HandheldPlacer& placer,
           const ViewScale& view);

  // The catalogue point of the model's window under the pointer of `e`.
  CataloguePoint clientPoint(const QMouseEvent& e) const;

  // A button went down: a press still held that lost its release goes
  // first, and a drag may begin.
  void pressed(const QMouseEvent& e, MouseButton button);
  // The pointer moved to `at`; whether a drag is under way.
  void moved(const QMouseEvent& e, CataloguePoint at);
  // A button came up at `at`; false for a release that belongs to no press.
  bool released(const QMouseEvent& e, MouseButton button, CataloguePoint at);
  // The pointer came back: a window manager's move may have ended without
  // its release.
  void entered();

 private:
  void movesRefused();
  // A left press at `at` on the open case, where the compositor places
  // windows: its own move, from the press on; whether it began.
  bool compositorMoveFromPress(CataloguePoint at);
  // After the window manager moved the window, the model learns where to.
  void followScreen();

  QWidget& window_;
  Program& program_;
  ModelInput& input_;
  HandheldPlacer& placer_;
  const ViewScale& view_;
  // Where the client area's origin was on the screen at the press, and the
  // model's window then: during a drag the window moves under the pointer,
  // and the client point is worked out from the screen position.
  QPointF originAtPress_;
  WindowGeometry geometryAtPress_{};
  bool dragging_ = false;    // a left-button drag of the case is under way
  bool systemMove_ = false;  // the window manager carries the window
  bool following_ = false;   // the window is where it is told to be
};

}  // namespace cantiere
