// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop the model talks to, made of Qt: the three windows, the
// desktop's "open" action, the beep, the message box and the end of the
// event loop.
#pragma once

#include <QRect>
#include <QObject>
#include <QUrl>
#include <functional>
#include <optional>

#include "core/handheld/desktop.h"
#include "common/view/window_placement.h"

class QWidget;

namespace cantiere {

class HandheldWindow;

class QtDesktop : public QObject, public Desktop {
 public:
  QtDesktop();

  void setHandheld(HandheldWindow* window);
  void setLauncher(QWidget* window) { launcher_ = window; }
  void setAbout(QWidget* window);

  // Replaceable for tests: what "open" hands a target to, and what ends
  // the program.
  std::function<void(const QUrl&)> opener;
  std::function<void()> quitter;
  // A screen size in place of the primary screen's (tests); it is all
  // available to windows.
  std::optional<ScreenSize> screenOverride;
  // The monitors, the primary first, in window pixels.
  Monitors monitors() const;

  // The URL "open" gives the desktop for a target: a URL with a scheme as it
  // is, anything else a file named relative to the working folder, by a
  // path of plain characters (an invalid URL when none can be made).
  static QUrl urlFor(const char* target);

  ScreenSize screen() const override;
  void windowChanged(const WindowGeometry& g) override;
  void showLauncher() override;
  void hideLauncher() override;
  void showAbout() override;
  void open(const char* target) override;
  void beep() override;
  void message(const char* text) override;
  void exit() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  HandheldWindow* handheld_ = nullptr;
  QWidget* launcher_ = nullptr;
  QWidget* about_ = nullptr;
  // The keyboard is handed back once each time About shows: a window
  // manager that insists on giving it to About is not fought over it.
  bool handedBack_ = false;
};

}  // namespace cantiere
