// SPDX-License-Identifier: GPL-3.0-or-later
// Kept apart from the windows' code: Xlib's headers define names (None,
// Bool, Status) that clash with Qt's.
#include "frontend/x11/x11_window.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <cmath>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <xcb/xcb.h>

namespace cantiere::x11 {
namespace {

Display* display() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

// A native window that exists, without making one (winId() would).
Window nativeWindow(const QWidget* window) {
  if (!window || !window->testAttribute(Qt::WA_WState_Created)) return 0;
  return static_cast<Window>(window->internalWinId());
}

// Sends a window's bounding shape again after every change of its size
// that the server reports, so a window manager reads it at the new size.
class ShapeResender : public QAbstractNativeEventFilter {
 public:
  explicit ShapeResender(QWidget* window) : window_(window) {}

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t" || !window_) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY) return false;
    const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
    const Window w = nativeWindow(window_);
    if (!w || configure->window != w) return false;
    const QSize size(configure->width, configure->height);
    if (w == window_id_ && size == size_) return false;
    window_id_ = w;
    size_ = size;
    resendShape(w);
    return false;
  }

 private:
  static void resendShape(Window w) {
    Display* d = display();
    int count = 0, ordering = 0;
    XRectangle* rects = d ? XShapeGetRectangles(d, w, ShapeBounding, &count, &ordering) : nullptr;
    if (!rects) return;
    XShapeCombineRectangles(d, w, ShapeBounding, 0, 0, rects, count, ShapeSet, ordering);
    XFree(rects);
    XFlush(d);
  }

  QPointer<QWidget> window_;
  Window window_id_ = 0;
  QSize size_;
};

}  // namespace

void keepShapeThroughResizes(QWidget* window) {
  if (!display() || !window) return;
  // Lives as long as the program; one window asks for it.
  static ShapeResender* resender = nullptr;
  if (resender) return;
  resender = new ShapeResender(window);
  qGuiApp->installNativeEventFilter(resender);
}

std::optional<QPoint> clientOrigin(const QWidget* window) {
  Display* d = display();
  const Window w = nativeWindow(window);
  if (!d || !w) return std::nullopt;
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child)) return std::nullopt;
  // The server counts device pixels; the window's geometry is in window
  // pixels, which a scale factor makes larger.
  const double ratio = window->devicePixelRatioF();
  return QPoint(static_cast<int>(std::lround(x / ratio)), static_cast<int>(std::lround(y / ratio)));
}

std::optional<QPoint> frameOrigin(const QWidget* window) {
  Display* d = display();
  Window w = nativeWindow(window);
  if (!d || !w) return std::nullopt;
  const Window root = DefaultRootWindow(d);
  // Up to the root's child: the frame a window manager put the window in.
  for (;;) {
    Window top = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &top, &parent, &children, &count)) return std::nullopt;
    if (children) XFree(children);
    if (parent == root || parent == 0) break;
    w = parent;
  }
  Window top = 0;
  int x = 0, y = 0;
  unsigned int width = 0, height = 0, border = 0, depth = 0;
  if (!XGetGeometry(d, w, &top, &x, &y, &width, &height, &border, &depth)) return std::nullopt;
  const double ratio = window->devicePixelRatioF();
  return QPoint(static_cast<int>(std::lround(x / ratio)), static_cast<int>(std::lround(y / ratio)));
}

std::string windowManagerName() {
  Display* d = display();
  if (!d) return {};
  const auto property = [d](Window w, const char* name, Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string value;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 64, False, type, &actual, &format,
                           &count, &after, &data) == Success &&
        data) {
      if (actual == type && format == 8) value.assign(reinterpret_cast<char*>(data), count);
      if (actual == type && format == 32 && count == 1)
        value = std::to_string(*reinterpret_cast<unsigned long*>(data));
      XFree(data);
    }
    return value;
  };
  const std::string check = property(DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
  if (check.empty()) return {};
  return property(static_cast<Window>(std::stoul(check)), "_NET_WM_NAME",
                  XInternAtom(d, "UTF8_STRING", False));
}

bool giveKeyboard(const QWidget* window) {
  Display* d = display();
  const Window w = nativeWindow(window);
  if (!d || !w || !window->isVisible()) return false;
  XSetInputFocus(d, w, RevertToParent, CurrentTime);
  XFlush(d);
  return true;
}

void fixedDialogFrame(QWidget* window) {
  Display* d = display();
  if (!d || !window) return;
  // The Motif hints every X11 window manager reads: functions and
  // decorations, each a set of flags.
  struct {
    unsigned long flags, functions, decorations;
    long inputMode;
    unsigned long status;
  } hints{};
  constexpr unsigned long kFunctions = 1, kDecorations = 2;
  constexpr unsigned long kMove = 4;
  constexpr unsigned long kBorder = 2, kTitle = 8;
  hints.flags = kFunctions | kDecorations;
  hints.functions = kMove;
  hints.decorations = kBorder | kTitle;
  const Atom atom = XInternAtom(d, "_MOTIF_WM_HINTS", False);
  XChangeProperty(d, static_cast<Window>(window->winId()), atom, atom, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&hints), 5);
  XFlush(d);
}

}  // namespace cantiere::x11
