// SPDX-License-Identifier: GPL-3.0-or-later
// Carries the handheld's geometry to the screen in a way the window manager
// honours. Most move a shown window when the program asks; some (Weston's,
// for X11 programs) ignore a shown window's moves and honour only where a
// new window asks to appear. The mover watches whether a move took effect
// and, once one was refused, says so: the window then moves by being made
// anew where it belongs, and drags are handed to the window manager.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <functional>

class QWidget;

namespace cantiere {

class WindowMover : public QObject {
 public:
  explicit WindowMover(QWidget& window);

  // Puts the window's client area at `g`: before the window is shown, where
  // it first appears. `byDrag`: the move follows the pointer, and while
  // moves are refused the window manager carries it instead.
  void place(const QRect& g, bool byDrag = false);

  bool movesRefused() const { return refused_; }
  // Called once, when a move of the shown window turned out refused.
  std::function<void()> refused;
  // Remakes the window at its last requested place (the window knows how).
  std::function<void(const QRect&)> remake;

  // How long a window manager may take to carry out a move.
  static constexpr int kSettle = 250;

 private:
  void check();

  QWidget& window_;
  QRect target_;
  QPoint before_;  // where the window was when the unchecked moves began
  bool refused_ = false;
  QTimer settle_;
};

}  // namespace cantiere
