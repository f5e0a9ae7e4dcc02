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

SizeHints sizeHints(const XSizeHints& x) {
  SizeHints hints;
  if (x.flags & PMinSize) hints.min = QSize(x.min_width, x.min_height);
  if (x.flags & PMaxSize) hints.max = QSize(x.max_width, x.max_height);
  if (x.flags & PBaseSize) hints.base = QSize(x.base_width, x.base_height);
  if (x.flags & PResizeInc) hints.step = QSize(x.width_inc, x.height_inc);
  return hints;
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
    if (!d || !XGetWMNormalHints(d, w, &hints, &supplied) ||
        !stepMissesFixedSize(sizeHints(hints)))
      return;
    hints.width_inc = hints.height_inc = 1;
    XSetWMNormalHints(d, w, &hints);
    XFlush(d);
  }
};

}  // namespace

bool stepMissesFixedSize(const SizeHints& hints) {
  if (!hints.min || !hints.step || hints.max != hints.min) return false;
  const QSize size = *hints.min, step = *hints.step, base = hints.base.value_or(size);
  const auto misses = [](int length, int from, int by) { return by > 1 && (length - from) % by; };
  return misses(size.width(), base.width(), step.width()) ||
         misses(size.height(), base.height(), step.height());
}

void keepFixedSizesExact() {
  if (!display()) return;
  // Lives as long as the program, for all its windows.
  static FixedSizeMender* mender = nullptr;
  if (mender) return;
  mender = new FixedSizeMender;
  qGuiApp->installNativeEventFilter(mender);
}

}  // namespace cantiere::x11
