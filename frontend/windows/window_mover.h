// SPDX-License-Identifier: GPL-3.0-or-later
// Carries the handheld's geometry to the screen in a way the window manager
// honours. Most move a shown window when the program asks, some only within
// limits of their own (clear of a task bar, or a new window where they
// choose), and some (Weston's, for X11 programs) ignore a shown window's
// moves and honour only where a new window asks to appear. The mover waits
// until the window stops moving, asks once more if it rests short of the
// place (a busy one may lag), and then tells them apart: a window left
// exactly where it was, though asked to a place on a monitor, was refused;
// then the window moves by being made anew where it belongs, and drags are
// handed to the window manager. A window that ended elsewhere was held
// there by the window manager, and stays.
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
  // The window has just been shown where `place` put it: where the window
  // manager lets it appear is watched as a move is.
  void shown();

  bool movesRefused() const { return refused_ || placed_; }
  // The compositor places the window whatever the program asks (it centres
  // it, or has no positions at all): the window is not moved, never made
  // anew, and stays where the compositor puts it; drags are the
  // compositor's.
  void placedByCompositor() { placed_ = true; }
  bool compositorPlaces() const { return placed_; }
  // Whether a place lies wholly where windows may be: a window manager that
  // leaves a window where it was instead of moving it there refused.
  std::function<bool(const QRect&)> reachable;
  // Called once, when a move of the shown window turned out refused.
  std::function<void()> refused;
  // The window settled at a place of the window manager's choosing.
  std::function<void(const QPoint&)> held;
  // Remakes the window at its last requested place (the window knows how).
  std::function<void(const QRect&)> remake;

  // How long a window may rest before it is taken to have stopped moving.
  static constexpr int kSettle = 250;

 private:
  void watch(const QPoint& from);
  void check();

  QWidget& window_;
  QRect target_;
  QPoint before_;    // where the window was when the unchecked moves began
  QPoint lastSeen_;  // where it was at the last look
  bool refused_ = false;
  bool placed_ = false;
  // The window was just shown, and may be asked once more to go where it
  // belongs: a window manager may place a new window its own way and still
  // honour later moves (i3 puts it where its frame would be).
  bool newWindow_ = false;
  // The window manager was asked again to the same place after the window
  // came to rest short of it.
  bool askedAgain_ = false;
  QTimer settle_;
};

}  // namespace cantiere
