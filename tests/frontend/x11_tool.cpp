// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop tests ask of an X server beyond xdotool's reach:
//   x11_tool close WINDOW_ID   asks a window to close, as a window manager's
//                              close button does (also with no window manager)
//   x11_tool desktop RRGGBB    paints the desktop one colour, in the way
//                              desktop programs do, so that a compositing
//                              window manager paints it too
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

int close(Display* d, const char* id) {
  const Window w = std::strtoul(id, nullptr, 0);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  return 0;
}

int desktop(Display* d, const char* rgb) {
  const int s = DefaultScreen(d);
  const Window root = RootWindow(d, s);
  const unsigned long colour = std::strtoul(rgb, nullptr, 16);
  const int w = DisplayWidth(d, s), h = DisplayHeight(d, s);
  const Pixmap p = XCreatePixmap(d, root, w, h, DefaultDepth(d, s));
  const GC gc = XCreateGC(d, p, 0, nullptr);
  XSetForeground(d, gc, colour);
  XFillRectangle(d, p, gc, 0, 0, w, h);
  XFreeGC(d, gc);
  XSetWindowBackgroundPixmap(d, root, p);
  XClearWindow(d, root);
  // The root pixmap's id, where compositing window managers look for it.
  for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"}) {
    const Atom a = XInternAtom(d, name, False);
    XChangeProperty(d, root, a, XA_PIXMAP, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&p), 1);
  }
  // The pixmap outlives this program.
  XSetCloseDownMode(d, RetainPermanent);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "close") != 0 && std::strcmp(argv[1], "desktop") != 0)) {
    std::fprintf(stderr, "usage: x11_tool close WINDOW_ID | x11_tool desktop RRGGBB\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "x11_tool: no display\n");
    return 1;
  }
  const int status = std::strcmp(argv[1], "close") == 0 ? close(d, argv[2]) : desktop(d, argv[2]);
  XCloseDisplay(d);
  return status;
}
