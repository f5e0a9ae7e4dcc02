// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/window_system.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "frontend/pictures/picture_set.h"
#include "frontend/windows/window_mover.h"
#include "frontend/x11/x11_window.h"

namespace cantiere {

void bringToFront(QWidget* window) {
  window->raise();
  giveKeyboard(window);
}

void giveKeyboard(QWidget* window) {
  window->activateWindow();
  window->setFocus(Qt::ActiveWindowFocusReason);
  // Some window managers list activation requests as supported and ignore
  // them (Weston's, for X11 programs): then the keyboard is set directly.
  QTimer::singleShot(WindowMover::kSettle, window, [w = QPointer<QWidget>(window)] {
    if (w && w->isVisible() && !w->isActiveWindow()) x11::giveKeyboard(w);
  });
}

bool compositorPlacesWindows() {
  static const bool placed = QGuiApplication::platformName().startsWith(QStringLiteral("wayland")) ||
                             x11::windowManagerName() == "wlroots wm";
  return placed;
}

bool compositorFocusesNewWindows() {
  static const bool focuses = compositorPlacesWindows() || x11::windowManagerName() == "Weston WM";
  return focuses;
}

Monitors qtMonitors() {
  Monitors list;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) list.push_back({fromQRect(primary->geometry()), fromQRect(primary->availableGeometry())});
  for (const QScreen* s : QGuiApplication::screens())
    if (s != primary) list.push_back({fromQRect(s->geometry()), fromQRect(s->availableGeometry())});
  return list;
}

}  // namespace cantiere
