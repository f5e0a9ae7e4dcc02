// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/x11/fixed_size_hints.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/xcb.h>

namespace cantiere::x11 {
namespace {

Display* display() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

// True when a window manager that honours the hints could not give the
// window the one size they allow: it is no whole number of steps from the
// base (the smallest size when no base is given).
bool stepMissesFixedSize(const XSizeHints& hints) {
  constexpr long kNeeded = PMinSize | PMaxSize | PResizeInc;
  if ((hints.flags & kNeeded) != kNeeded) return false;
  if (hints.min_width != hints.max_width || hints.min_height != hints.max_height) return false;
  if (hints.width_inc <= 1 && hints.height_inc <= 1) return false;
  const bool based = hints.flags & PBaseSize;
  const int baseWidth = based ? hints.base_width : hints.min_width;
  const int baseHeight = based ? hints.base_height : hints.min_height;
  const auto misses = [](int size, int base, int step) { return step > 1 && (size - base) % step; };
  return misses(hints.min_width, baseWidth, hints.width_inc) ||
         misses(hints.min_height, baseHeight, hints.height_inc);
}

// Qt writes WM_NORMAL_HINTS at every show, move and resize, so the hints
// are mended each time the server reports that they changed. The mended
// hints are seen once more and then left alone.
class FixedSizeMender : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (change->atom != XCB_ATOM_WM_NORMAL_HINTS || change->state != XCB_PROPERTY_NEW_VALUE)
      return false;
    mend(static_cast<Window>(change->window));
    return false;
  }

 private:
  static void mend(Window w) {
    Display* d = display();
    XSizeHints hints{};
    long supplied = 0;
    if (!d || !XGetWMNormalHints(d, w, &hints, &supplied) || !stepMissesFixedSize(hints)) return;
    hints.width_inc = hints.height_inc = 1;
    XSetWMNormalHints(d, w, &hints);
    XFlush(d);
  }
};

}  // namespace

void keepFixedSizesExact() {
  if (!display()) return;
  // Lives as long as the program, for all its windows.
  static FixedSizeMender* mender = nullptr;
  if (mender) return;
  mender = new FixedSizeMender;
  qGuiApp->installNativeEventFilter(mender);
}

}  // namespace cantiere::x11
