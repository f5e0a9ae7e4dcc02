// SPDX-License-Identifier: GPL-3.0-or-later
// The few X11 calls of the front end, kept apart from the window's code:
// Xlib's headers define names (KeyPress, None, Bool) that clash with Qt's.
#include <QGuiApplication>

#include "frontend/x11/x11_input.h"

#include <X11/XKBlib.h>

namespace cantiere {

bool enableDetectableAutoRepeat() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return false;
  Bool supported = False;
  XkbSetDetectableAutoRepeat(x11->display(), True, &supported);
  return supported;
}

std::optional<QPoint> pointerInDevicePixels() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return std::nullopt;
  Display* display = x11->display();
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int buttons = 0;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &buttons))
    return std::nullopt;
  return QPoint(rootX, rootY);
}

}  // namespace cantiere
