// Kept apart from the window's code: Xlib's headers define names (KeyPress,
// None, Bool) that clash with Qt's.
#include <QGuiApplication>

#include "frontend/handheld_window.h"

#include <X11/XKBlib.h>

namespace cantiere {

bool enableDetectableAutoRepeat() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return false;
  Bool supported = False;
  XkbSetDetectableAutoRepeat(x11->display(), True, &supported);
  return supported;
}

}  // namespace cantiere
