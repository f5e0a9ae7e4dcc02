#include "frontend/display_check.h"

#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <iostream>
#include <vector>

// After Qt's headers: Xlib's macros (None, Bool) clash with them.
#include <X11/Xlib.h>

namespace cantiere {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

QtMessageHandler previousHandler = nullptr;
std::vector<std::string> heldMessages;
std::string guardedPlatform;

void holdOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    std::cerr << noDisplayMessage(guardedPlatform + " does not start") << std::endl;
    _exit(kNoDisplayStatus);
  }
  heldMessages.push_back(qFormatLogMessage(type, context, text).toStdString());
}

}  // namespace

std::string noDisplayMessage(const std::string& reason) {
  return "cantiere: cannot open a window (" + reason +
         "); cantiere-sim runs the handheld without a display";
}

std::optional<std::string> displayProblem(const std::string& platformOption, const std::string& display) {
  const std::string platform = platformOption.empty() ? environment("QT_QPA_PLATFORM") : platformOption;
  const std::string first = platform.substr(0, platform.find_first_of(":;"));
  const bool x11 = platform.empty() || first == "xcb";
  const bool wayland = platform.empty() || first.rfind("wayland", 0) == 0;
  if (!x11 && !wayland) return std::nullopt;  // offscreen, vnc and the like

  const std::string xDisplay = display.empty() ? environment("DISPLAY") : display;
  // A busy X server can turn a connection away now and then (its queue of
  // waiting connections full); only one that never answers is no display.
  for (int attempt = 0; x11 && !xDisplay.empty() && attempt < 3; ++attempt) {
    if (attempt > 0) ::usleep(100 * 1000);
    if (Display* d = XOpenDisplay(xDisplay.c_str())) {
      XCloseDisplay(d);
      return std::nullopt;
    }
  }
  // A Wayland compositor is left to Qt to try; the guard below catches a
  // failure.
  if (wayland && !environment("WAYLAND_DISPLAY").empty()) return std::nullopt;
  if (!x11) return std::string("no WAYLAND_DISPLAY is set");
  if (!xDisplay.empty()) return "the X display \"" + xDisplay + "\" cannot be opened";
  return std::string(wayland ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : "no DISPLAY is set");
}

std::string platformName(const std::string& platformOption) {
  const std::string platform = platformOption.empty() ? environment("QT_QPA_PLATFORM") : platformOption;
  return platform.empty() ? "the default platform" : "platform \"" + platform + "\"";
}

void guardWindowSystemStart(const std::string& platformOption) {
  guardedPlatform = platformName(platformOption);
  previousHandler = qInstallMessageHandler(holdOrEnd);
}

void releaseWindowSystemStart() {
  qInstallMessageHandler(previousHandler);
  for (const std::string& message : heldMessages) std::cerr << message << '\n';
  heldMessages.clear();
}

}  // namespace cantiere
