// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld window (`Form1`) on the desktop: one borderless widget that
// draws the whole catalogue, turns mouse and key events into the model's
// events, and repaints only the elements the model reports as changed. It
// holds no game rules.
#pragma once

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "frontend/pictures/picture_set.h"
#include "core/launcher/program.h"
#include "common/clock/event_clock.h"
#include "frontend/windows/lcd_animator.h"
#include "common/input/model_input.h"
#include "common/view/view_scale.h"
#include "common/view/window_placement.h"
#include "frontend/windows/window_mover.h"

namespace cantiere {

class SizeMenu;

inline constexpr const char* kApplicationTitle = "Cantiere (Ludoria) Simulator";

class HandheldWindow : public QWidget, public SurfaceListener {
 public:
  HandheldWindow(Program& program, ModelInput& input, const PictureSet& pictures);
  ~HandheldWindow() override;

  // Follows the model's window: client area at (left, top), its size,
  // scaled by the zoom (window pixels).
  void place(const WindowGeometry& g);

  // The zoom and the screen's device pixel ratio the window is drawn at.
  const ViewScale& view() const { return view_; }
  // What the window last composed, in device pixels: the client area as the
  // renderer drew it, transparent outside the case.
  const Image& buffer() const { return buffer_; }
  // Shows the handheld at a zoom step (another value is taken as 100) and
  // stores it as "Zoom"; a size too large for the monitor the case is on
  // is not taken.
  void setZoom(int percent);
  SizeMenu& sizeMenu() { return *sizeMenu_; }
  // The monitors, the primary first, whose usable areas the window is kept
  // inside when the program places it (window pixels); by default the
  // screens Qt knows.
  std::function<Monitors()> monitors;
  // Sets `monitors`; while the case waits for PLAY, its size is fitted to
  // the primary one again.
  void useMonitors(std::function<Monitors()> list);
  // Whether a zoom fits the monitor the case is on.
  bool zoomFitsHere(int percent) const;

  // The context menu `PM_Menu`; its actions carry the shortcuts.
  QMenu& menu() { return menu_; }
  QAction* action(MenuEntry entry) const { return actions_[static_cast<int>(entry)]; }
  // The "LCD effects" entry, after the handheld's own, and what it drives.
  QAction* lcdEffectsAction() const { return lcdEffects_; }
  LcdAnimator& lcd() { return lcd_; }

  // The virtual-key code the model uses for a Qt key (0 for keys it has no
  // code for, which the model ignores).
  static int virtualKey(int qtKey);
  // The key as the program's own shortcuts read it: a key of the row of
  // digits is its digit whatever the layout puts there unshifted (the
  // French one puts "a" with a grave accent on 0), and the keypad's keys
  // are the keys they show.
  static int layoutFreeKey(const QKeyEvent& e);

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
  void buildMenu();
  void addLcdEffectsEntry();
  CataloguePoint clientPoint(const QMouseEvent* e) const;
  void hover(CataloguePoint at);
  void showView(const ViewScale& view);
  void moveTo(const Rect& r);
  Monitors monitorList() const;
  int storedZoomShown() const;
  std::optional<Monitor> monitorHere() const;
  // An element's rectangle in window pixels, covering its device pixels,
  // with its shadow when `lcdEffects` and it is an LCD segment.
  QRect windowRect(Element e, bool lcdEffects = false) const;
  void showHint();
  void deliverRelease();
  // The case's outline for a window of this height (the closed or the open
  // case), in window pixels, read once per scale from the pictures drawn.
  const QRegion& outline(int height);
  // Shapes the window like the case it shows now.
  void reshape();
  int shownHeight() const;
  void movesRefused();
  void remakeAt(const QRect& g);
  // After the window manager moved the window, the model learns where to.
  void followScreen();

  Program& program_;
  ModelInput& input_;
  EventClock& clock_;
  Surface* shown_;
  const PictureSet& pictures_;
  QMenu menu_;
  std::array<QAction*, 6> actions_{};

  // Where the client area's origin was on the screen at the press, and the
  // model's window then: during a drag the window moves under the pointer,
  // and the client point is worked out from the screen position.
  QPointF originAtPress_;
  WindowGeometry geometryAtPress_{};

  // The zoom and ratio drawn at, the pictures for them (the shared 1x ones
  // at 1x), and the window's place on the screen.
  ViewScale view_;
  PictureSet scaledPictures_;
  const PictureSet* drawn_;
  Image buffer_;  // the client area in device pixels, composed where dirty
  QImage bufferImage_;  // the same pixels, as the painter takes them
  WindowPlacement placement_;
  WindowPlacement ownPlacement_;  // the handheld's, while a replay shows
  int placedHeight_ = 0;  // of the model's window last placed, open or closed
  std::unique_ptr<SizeMenu> sizeMenu_;

  VirtualClock changeTime_;  // of the shown surface
  LcdAnimator lcd_;
  QAction* lcdEffects_ = nullptr;

  const ElementHint* hint_ = nullptr;
  QRect hintRect_;
  QTimer hintDelay_;

  // A key release held back until the next event: on X11 a held key
  // arrives as release and press pairs with one timestamp.
  struct PendingRelease {
    int key;
    quint64 timestamp;
  };
  std::optional<PendingRelease> pendingRelease_;
  bool closed_ = false;
  bool showing_ = false;
  // Keys whose press reached the model: a press a shortcut took never did,
  // and neither may its release.
  std::set<int> held_;

  WindowMover mover_;
  bool dragging_ = false;     // a left-button drag of the case is under way
  bool systemMove_ = false;   // the window manager carries the window
  bool following_ = false;    // the window is where it is told to be
  // The case's outline at the device scale it was read at.
  struct Outline {
    double scale = 0;
    QRegion region;
  };
  Outline closedOutline_, openOutline_;
  // Where the compositor places the window (and centres it at each change
  // of size), the window stays as tall as the open case, so the lid opens
  // upwards without a resize; the closed case lies at its bottom,
  // `caseTop_` window pixels down.
  bool tall_ = false;
  int caseTop_ = 0;
  WindowGeometry lastModel_{};  // the model's window as last followed
};

}  // namespace cantiere
