// SPDX-License-Identifier: GPL-3.0-or-later
// Program start: the handheld window, then the about window, then the
// launcher, in that order, and the first activation that brings the
// launcher to the front. Key events pass through here so the context
// menu's shortcuts are seen before the window's own key handling.
#pragma once

#include "core/handheld/pointer.h"
#include "core/launcher/launcher.h"

namespace cantiere {

// The windows a front end makes as the program starts, asked for in the
// program's own order. The desktop makes real windows; the driver and the
// tests make none.
class StartupWindows {
 public:
  virtual ~StartupWindows() = default;
  virtual void createHandheld() {}
  virtual void createAbout() {}
  virtual void createLauncher() {}
  // The launcher is shown as soon as it is made (its creation handler has run).
  virtual void showLauncher() {}
  // The handheld window is shown, still off screen. True when the window
  // system delivers its first activation later (the front end then calls
  // `Handheld::FormActivate`); false when the program must deliver it now.
  virtual bool showHandheld() { return false; }
};

class Program {
 public:
  explicit Program(const HandheldServices& services);

  // The one start-up sequence of the desktop program, the driver and the
  // tests.
  void start(StartupWindows& windows);
  // With no windows at all, the first activation follows at once.
  void start();

  void keyDown(int key);
  void keyUp(int key);

  Handheld form1;
  Launcher splash;
  Pointer pointer;
};

}  // namespace cantiere
