// Program start: the handheld window, then the about window, then the
// launcher, in that order, and the first activation that brings the
// launcher to the front. Key events pass through here so the context
// menu's shortcuts are seen before the window's own key handling.
#pragma once

#include "core/launcher/launcher.h"
#include "core/handheld/pointer.h"

namespace cantiere {

class Program {
 public:
  explicit Program(const HandheldServices& services);

  // Creates the windows in order and delivers the handheld window's first
  // activation (the event loop's first act), which shows the launcher.
  void start();

  void keyDown(int key);
  void keyUp(int key);

  bool FirstActivate = false;
  Handheld form1;
  Launcher splash;
  Pointer pointer;
};

}  // namespace cantiere
