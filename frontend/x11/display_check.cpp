// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/x11/display_check.h"

#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QLibraryInfo>
#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <iostream>
#include <vector>

namespace cantiere {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

struct Platform {
  std::string name;      // as asked, "" for Qt's default
  bool x11, wayland;     // what it may use
  std::string xDisplay;  // -display, else DISPLAY
};

Platform platformOf(const std::string& platformOption, const std::string& displayOption) {
  Platform p;
  p.name = platformOption.empty() ? environment("QT_QPA_PLATFORM") : platformOption;
  const std::string first = p.name.substr(0, p.name.find_first_of(":;"));
  p.x11 = p.name.empty() || first == "xcb";
  p.wayland = p.name.empty() || first.rfind("wayland", 0) == 0;
  p.xDisplay = displayOption.empty() ? environment("DISPLAY") : displayOption;
  return p;
}

// Whether Qt's Wayland platform is installed where Qt looks for platforms.
bool waylandPlatformInstalled() {
  QStringList folders = QString::fromLocal8Bit(qgetenv("QT_PLUGIN_PATH")).split(':', Qt::SkipEmptyParts);
  folders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
  for (const QString& folder : folders)
    if (!QDir(folder + QStringLiteral("/platforms"))
             .entryList({QStringLiteral("libqwayland*")}, QDir::Files)
             .isEmpty())
      return true;
  return false;
}

// A Wayland desktop without XWayland: what Qt's Wayland platform lacks.
std::string waylandOnlyReason() {
  if (!waylandPlatformInstalled())
    return "no X display is set (XWayland) and Qt's Wayland platform is not installed "
           "(the package qt6-wayland)";
  return "no X display is set (XWayland) and Qt's Wayland platform cannot reach the compositor "
         "at WAYLAND_DISPLAY \"" + environment("WAYLAND_DISPLAY") + "\"";
}

QtMessageHandler previousHandler = nullptr;
std::vector<std::string> heldMessages;
std::string guardedReason;

void holdOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    std::cerr << noDisplayMessage(guardedReason) << std::endl;
    _exit(kNoDisplayStatus);
  }
  heldMessages.push_back(qFormatLogMessage(type, context, text).toStdString());
}

}  // namespace

std::string noDisplayMessage(const std::string& reason) {
  return "cantiere: cannot open a window (" + reason +
         "); cantiere-sim runs the handheld without a display";
}

// Only what needs no connection is looked at here: a connection opened and
// closed just before Qt's own makes a busy X server turn Qt's away now and
// then. Whether a named display answers, Qt finds out; the guard below
// reports it.
std::optional<std::string> displayProblem(const std::string& platformOption, const std::string& display) {
  const Platform p = platformOf(platformOption, display);
  if (!p.x11 && !p.wayland) return std::nullopt;  // offscreen, vnc and the like
  if (p.x11 && !p.xDisplay.empty()) return std::nullopt;
  if (p.wayland && !environment("WAYLAND_DISPLAY").empty())
    return waylandPlatformInstalled() ? std::nullopt : std::optional(waylandOnlyReason());
  if (!p.x11) return std::string("no WAYLAND_DISPLAY is set");
  return std::string(p.wayland ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : "no DISPLAY is set");
}

void guardWindowSystemStart(const std::string& platformOption, const std::string& display) {
  const Platform p = platformOf(platformOption, display);
  const bool waylandDisplay = !environment("WAYLAND_DISPLAY").empty();
  if (p.x11 && !p.xDisplay.empty() && (!p.wayland || !waylandDisplay))
    guardedReason = "the X display \"" + p.xDisplay + "\" cannot be opened";
  else if (p.wayland && waylandDisplay && p.xDisplay.empty())
    guardedReason = waylandOnlyReason();
  else
    guardedReason = p.name.empty() ? "the default platform does not start" : "platform \"" + p.name + "\" does not start";
  previousHandler = qInstallMessageHandler(holdOrEnd);
}

void releaseWindowSystemStart() {
  qInstallMessageHandler(previousHandler);
  for (const std::string& message : heldMessages) std::cerr << message << '\n';
  heldMessages.clear();
}

}  // namespace cantiere
