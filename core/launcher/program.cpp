// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/launcher/program.h"

namespace cantiere {

Program::Program(const HandheldServices& services)
    : form1(services), splash(form1, services.scheduler), pointer(form1) {}

void Program::start(StartupWindows& windows) {
  form1.FirstActivate = true;  // before any window exists
  // The handheld window reads the high scores before the launcher reads the
  // sound mode from the same store.
  windows.createHandheld();
  form1.FormCreate();
  windows.createAbout();
  windows.createLauncher();
  splash.FormCreate();
  windows.showLauncher();
  if (!windows.showHandheld()) form1.FormActivate();
}

void Program::start() {
  StartupWindows none;
  start(none);
}

void Program::keyDown(int key) {
  if (splash.shortcut(key)) return;
  form1.FormKeyDown(key);
}

void Program::keyUp(int key) { form1.FormKeyUp(key); }

}  // namespace cantiere
