// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld window (`Form1`) on the desktop: one borderless widget that
// shows the whole catalogue and turns the mouse's and the keyboard's events
// into the model's. It holds no game rules, and little of its own: what it
// shows is a CaseCanvas, where it lies a HandheldPlacer, its drags a
// CaseDrag, its menu a HandheldMenu, its hints HoverHints, its keys a
// KeyForwarder; it repaints only what the model reports as changed.
#pragma once

#include <QWidget>
#include <functional>

#include "common/input/model_input.h"
#include "core/launcher/program.h"
#include "frontend/input/key_forwarder.h"
#include "frontend/windows/case_canvas.h"
#include "frontend/windows/case_drag.h"
#include "frontend/windows/handheld_menu.h"
#include "frontend/windows/handheld_placer.h"
#include "frontend/windows/hover_hints.h"
#include "frontend/windows/lcd_animator.h"

namespace cantiere {

inline constexpr const char* kApplicationTitle = "Cantiere (Ludoria) Simulator";

class HandheldWindow : public QWidget, public SurfaceListener {
 public:
  HandheldWindow(Program& program, ModelInput& input, const PictureSet& pictures);
  ~HandheldWindow() override;

  // Follows the model's window: client area at (left, top), its size,
  // scaled by the zoom (window pixels).
  void place(const WindowGeometry& g);

  // The zoom and the screen's device pixel ratio the window is drawn at.
  const ViewScale& view() const { return canvas_.view(); }
  // What the window last composed, in device pixels: the client area as the
  // renderer drew it, transparent outside the case.
  const Image& buffer() const { return canvas_.buffer(); }
  // Shows the handheld at a zoom step (another value is taken as 100) and
  // stores it as "Zoom"; a size too large for the monitor the case is on
  // is not taken.
  void setZoom(int percent);
  SizeMenu& sizeMenu() { return menu_.sizes(); }
  // The monitors, the primary first, whose usable areas the window is kept
  // inside when the program places it; while the case waits for PLAY, its
  // size is fitted to the primary one again.
  void useMonitors(std::function<Monitors()> list);
  // Whether a zoom fits the monitor the case is on.
  bool zoomFitsHere(int percent) const;

  // The context menu `PM_Menu`; its actions carry the shortcuts.
  QMenu& menu() { return menu_.menu(); }
  QAction* action(MenuEntry entry) const { return menu_.action(entry); }
  // The "LCD effects" entry, after the handheld's own, and what it drives.
  QAction* lcdEffectsAction() const { return menu_.lcdEffects(); }
  LcdAnimator& lcd() { return lcd_; }

  // The surface drawn: the program's own, or a replay's while one plays.
  // A replay runs on its own virtual time: `changeTime` gives the instant
  // of a change as it happens, `frameTime` the instant a frame shows, so
  // its segments move as the driver draws them.
  using VirtualClock = std::function<Millis()>;
  void showSurface(Surface& surface, VirtualClock changeTime = {}, VirtualClock frameTime = {});
  const Surface& shownSurface() const { return *shown_; }

  void litChanged(Element e, bool lit) override;
  void pictureChanged(Element e) override;

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void showView(const ViewScale& view);
  // The stored zoom, or the largest that fits the primary monitor.
  int storedZoomShown() const;
  void hover(CataloguePoint at);
  // Makes the native window anew at `g`: where a window manager refuses a
  // shown window's moves, it still honours where a new window appears.
  void remakeAt(const QRect& g);
  // Shapes the window like the case it shows now.
  void reshape();
  int shownHeight() const;

  Program& program_;
  ModelInput& input_;
  EventClock& clock_;
  Surface* shown_;
  CaseCanvas canvas_;
  HandheldPlacer placer_;
  CaseDrag drag_;
  HandheldMenu menu_;
  HoverHints hints_;
  KeyForwarder keys_;
  VirtualClock changeTime_;  // of the shown surface
  LcdAnimator lcd_;
  bool closed_ = false;
  bool showing_ = false;
};

}  // namespace cantiere
